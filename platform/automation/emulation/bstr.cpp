// BSTR allocation: a 32-bit byte count, the UTF-16 text, two NUL bytes.
#include <cstdlib>
#include <cstring>

#include "platform/automation/emulation/bstr_cache.h"
#include "platform/automation/emulation/oleauto.h"

namespace {

constexpr size_t kPrefix = sizeof(DWORD);
constexpr UINT kMaxBytes = 0x7FFFFFFFu;

// The whole allocation of a BSTR of `bytes` bytes: the prefix, the bytes
// rounded up to whole characters, and the terminating NUL character.
size_t BlockSize(UINT bytes) { return kPrefix + ((size_t{bytes} + 1) & ~size_t{1}) + sizeof(OLECHAR); }

BSTR AllocateBytes(const void* data, UINT bytes) {
  if (bytes > kMaxBytes - 3) return nullptr;
  auto* block = static_cast<unsigned char*>(vornfmt::automation::TakeBstrBlock(BlockSize(bytes)));
  if (block == nullptr) return nullptr;
  const DWORD prefix = bytes;
  std::memcpy(block, &prefix, kPrefix);
  unsigned char* text = block + kPrefix;
  if (data != nullptr && bytes > 0)
    std::memcpy(text, data, bytes);
  else
    std::memset(text, 0, bytes);
  // The terminating NUL character after the text (and a padding byte before
  // it for an odd byte count), written directly: a memset call costs more.
  text[bytes] = 0;
  text[bytes + 1] = 0;
  if (bytes % 2 != 0) text[bytes + 2] = 0;
  return reinterpret_cast<BSTR>(text);
}

DWORD Prefix(BSTR text) {
  DWORD bytes;
  std::memcpy(&bytes, reinterpret_cast<const unsigned char*>(text) - kPrefix, kPrefix);
  return bytes;
}

}  // namespace

extern "C" {

BSTR SysAllocString(const OLECHAR* text) {
  if (text == nullptr) return nullptr;
  size_t length = 0;
  while (text[length] != 0) {
    if (++length > kMaxBytes / sizeof(OLECHAR)) return nullptr;
  }
  return SysAllocStringLen(text, static_cast<UINT>(length));
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  if (length > (kMaxBytes - 3) / sizeof(OLECHAR)) return nullptr;
  return AllocateBytes(text, static_cast<UINT>(length * sizeof(OLECHAR)));
}

BSTR SysAllocStringByteLen(const char* data, UINT bytes) { return AllocateBytes(data, bytes); }

void SysFreeString(BSTR text) {
  if (text != nullptr)
    vornfmt::automation::ReturnBstrBlock(reinterpret_cast<unsigned char*>(text) - kPrefix, BlockSize(Prefix(text)));
}

UINT SysStringLen(BSTR text) { return text == nullptr ? 0 : Prefix(text) / sizeof(OLECHAR); }

UINT SysStringByteLen(BSTR text) { return text == nullptr ? 0 : Prefix(text); }

}  // extern "C"
