#pragma once
// The one fake stream of the host tests: bytes in memory, read from the
// front, written at the end; `capacity` bounds what it takes (a full disk)
// and `failReads` makes every read fail (a broken medium). Only Read and
// Write do anything, which is all a control's persistence may use.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/automation/oleauto.h"

namespace vornfmt::test {

class MemoryStream final : public IStream {
 public:
  explicit MemoryStream(std::vector<BYTE> bytes = {}, size_t capacity = 1024)
      : bytes(std::move(bytes)), capacity_(capacity) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISequentialStream) || IsEqualIID(riid, IID_IStream)) {
      *object = static_cast<IStream*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Lives on the test's stack.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE Read(void* data, ULONG size, ULONG* read) override {
    if (failReads) return STG_E_READFAULT;
    const ULONG n = static_cast<ULONG>(std::min<size_t>(size, bytes.size() - position_));
    if (n) std::memcpy(data, bytes.data() + position_, n);
    position_ += n;
    if (read) *read = n;
    return n == size ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) override {
    const ULONG n = static_cast<ULONG>(std::min<size_t>(size, capacity_ - std::min(capacity_, bytes.size())));
    bytes.insert(bytes.end(), static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + n);
    if (written) *written = n;
    return n == size ? S_OK : STG_E_MEDIUMFULL;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

  std::vector<BYTE> bytes;
  bool failReads = false;

 private:
  size_t position_ = 0;
  size_t capacity_;
};

}  // namespace vornfmt::test
