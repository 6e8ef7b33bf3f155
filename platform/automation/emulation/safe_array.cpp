// One-dimensional SAFEARRAYs. Every descriptor this layer makes sits in one
// block behind a small header that keeps the element type (as Windows keeps
// it in the four bytes before the descriptor); the data is a separate block.
// Only descriptors made here (SafeArrayCreateVector, SafeArrayCopy) may be
// destroyed here.
#include <cstdlib>
#include <cstring>

#include "platform/automation/emulation/oleauto.h"

namespace {

struct Header {
  alignas(8) unsigned char pad[12];
  VARTYPE vt;  // in the last bytes before the descriptor
  USHORT reserved;
};
static_assert(sizeof(Header) == 16);

constexpr ULONG kMaxLocks = 0xFFFF;

Header* HeaderOf(SAFEARRAY* array) {
  return reinterpret_cast<Header*>(reinterpret_cast<unsigned char*>(array) - sizeof(Header));
}

ULONG ElementSize(VARTYPE vt) {
  switch (vt) {
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
    case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE: return 8;
    case VT_BSTR: return sizeof(BSTR);
    case VT_VARIANT: return sizeof(VARIANT);
    default: return 0;
  }
}

size_t ElementCount(const SAFEARRAY* array) {
  size_t count = 1;
  for (USHORT d = 0; d < array->cDims; ++d) count *= array->rgsabound[d].cElements;
  return count;
}

// Frees the BSTR and VARIANT elements of the data (the block itself stays).
void ReleaseElements(SAFEARRAY* array) {
  if (array->pvData == nullptr) return;
  const size_t count = ElementCount(array);
  if (array->fFeatures & FADF_BSTR) {
    auto* items = static_cast<BSTR*>(array->pvData);
    for (size_t i = 0; i < count; ++i) {
      SysFreeString(items[i]);
      items[i] = nullptr;
    }
  } else if (array->fFeatures & FADF_VARIANT) {
    auto* items = static_cast<VARIANT*>(array->pvData);
    for (size_t i = 0; i < count; ++i) VariantClear(&items[i]);
  }
}

SAFEARRAY* Allocate(VARTYPE vt, USHORT dims, const SAFEARRAYBOUND* bounds) {
  const ULONG size = ElementSize(vt);
  if (size == 0 || dims == 0) return nullptr;
  const size_t descriptorBytes = sizeof(SAFEARRAY) + (dims - 1) * sizeof(SAFEARRAYBOUND);
  void* block = std::calloc(1, sizeof(Header) + descriptorBytes);
  if (block == nullptr) return nullptr;
  auto* header = static_cast<Header*>(block);
  header->vt = vt;
  auto* array = reinterpret_cast<SAFEARRAY*>(static_cast<unsigned char*>(block) + sizeof(Header));
  array->cDims = dims;
  array->cbElements = size;
  array->fFeatures = FADF_HAVEVARTYPE;
  if (vt == VT_BSTR) array->fFeatures |= FADF_BSTR;
  if (vt == VT_VARIANT) array->fFeatures |= FADF_VARIANT;
  // rgsabound is declared with one element; further dimensions follow it.
  std::memcpy(array->rgsabound, bounds, dims * sizeof(SAFEARRAYBOUND));
  const size_t count = ElementCount(array);
  if (count != 0 && count > (SIZE_MAX / 2) / size) {
    std::free(block);
    return nullptr;
  }
  // Zero-filled: null BSTRs and VT_EMPTY VARIANTs. At least one byte, so that
  // an empty array still has a data pointer.
  array->pvData = std::calloc(count == 0 ? 1 : count, size);
  if (array->pvData == nullptr) {
    std::free(block);
    return nullptr;
  }
  return array;
}

}  // namespace

extern "C" {

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG count) {
  SAFEARRAYBOUND bound{count, lowerBound};
  return Allocate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* array) {
  if (array == nullptr) return S_OK;
  if (array->cLocks > 0) return DISP_E_ARRAYISLOCKED;
  ReleaseElements(array);
  std::free(array->pvData);
  std::free(HeaderOf(array));
  return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* array) {
  if (array == nullptr) return E_INVALIDARG;
  if (array->cLocks >= kMaxLocks) return E_UNEXPECTED;
  ++array->cLocks;
  return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* array) {
  if (array == nullptr) return E_INVALIDARG;
  if (array->cLocks == 0) return E_UNEXPECTED;
  --array->cLocks;
  return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data) {
  if (array == nullptr || data == nullptr) return E_INVALIDARG;
  const HRESULT hr = SafeArrayLock(array);
  *data = SUCCEEDED(hr) ? array->pvData : nullptr;
  return hr;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array) { return SafeArrayUnlock(array); }

HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  if (array == nullptr || bound == nullptr) return E_INVALIDARG;
  if (dim < 1 || dim > array->cDims) return DISP_E_BADINDEX;
  // rgsabound holds the dimensions last to first.
  *bound = array->rgsabound[array->cDims - dim].lLbound;
  return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  if (array == nullptr || bound == nullptr) return E_INVALIDARG;
  if (dim < 1 || dim > array->cDims) return DISP_E_BADINDEX;
  const SAFEARRAYBOUND& b = array->rgsabound[array->cDims - dim];
  // An empty dimension answers lLbound - 1; the sum wraps like a LONG.
  *bound = static_cast<LONG>(static_cast<uint32_t>(b.lLbound) + b.cElements - 1u);
  return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* array) { return array == nullptr ? 0 : array->cDims; }

UINT SafeArrayGetElemsize(SAFEARRAY* array) { return array == nullptr ? 0 : array->cbElements; }

HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt) {
  if (array == nullptr || vt == nullptr) return E_INVALIDARG;
  if (!(array->fFeatures & FADF_HAVEVARTYPE)) return E_INVALIDARG;
  *vt = HeaderOf(array)->vt;
  return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* array, SAFEARRAY** copy) {
  if (copy == nullptr) return E_INVALIDARG;
  *copy = nullptr;
  if (array == nullptr) return S_OK;
  VARTYPE vt;
  if (FAILED(SafeArrayGetVartype(array, &vt))) return E_INVALIDARG;
  // Dimensions are stored last to first; Allocate copies them as given.
  SAFEARRAY* result = Allocate(vt, array->cDims, array->rgsabound);
  if (result == nullptr) return E_OUTOFMEMORY;
  const size_t count = ElementCount(array);
  if (vt == VT_BSTR) {
    auto* from = static_cast<BSTR*>(array->pvData);
    auto* to = static_cast<BSTR*>(result->pvData);
    for (size_t i = 0; i < count; ++i) {
      if (from[i] == nullptr) continue;
      to[i] = SysAllocStringByteLen(reinterpret_cast<const char*>(from[i]), SysStringByteLen(from[i]));
      if (to[i] == nullptr) {
        SafeArrayDestroy(result);
        return E_OUTOFMEMORY;
      }
    }
  } else if (vt == VT_VARIANT) {
    auto* from = static_cast<VARIANT*>(array->pvData);
    auto* to = static_cast<VARIANT*>(result->pvData);
    for (size_t i = 0; i < count; ++i) {
      const HRESULT hr = VariantCopy(&to[i], &from[i]);
      if (FAILED(hr)) {
        SafeArrayDestroy(result);
        return hr;
      }
    }
  } else if (count > 0) {
    std::memcpy(result->pvData, array->pvData, count * array->cbElements);
  }
  *copy = result;
  return S_OK;
}

}  // extern "C"
