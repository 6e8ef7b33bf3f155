#pragma once
// The automation functions the system uses: BSTR allocation, VARIANT
// lifetime and copying, one-dimensional SAFEARRAYs, and VariantChangeType;
// with them the COM interfaces and activation functions of com.h and the
// stream interfaces of stream.h.
// Names, arguments and result codes are those of oleaut32; the behaviour is
// described here where a caller depends on it. This is the emulation's
// stand-in for <oleauto.h>, used off Windows; include it through the switch
// "platform/automation/oleauto.h".
#include "platform/automation/emulation/automation_types.h"
#include "platform/automation/emulation/com.h"
#include "platform/automation/emulation/stream.h"

extern "C" {

// ---- BSTR -------------------------------------------------------------------
// SysAllocString(null) is null. SysAllocStringLen(null, n) makes a text of n
// NUL characters (oleaut32 leaves them undefined). Lengths are limited to
// 0x7FFFFFFF bytes; beyond that, or when memory runs out, the answer is null.
BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
// `bytes` bytes are copied from `data` (null: zeros); an odd count is kept in
// the prefix and the text gets two NUL bytes after it.
BSTR SysAllocStringByteLen(const char* data, UINT bytes);
// Null is accepted and ignored.
void SysFreeString(BSTR text);
// Length in characters (prefix / 2, rounded down) and in bytes; 0 for null.
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

// ---- VARIANT ------------------------------------------------------------------
void VariantInit(VARIANTARG* v);
// Frees what the VARIANT owns (a BSTR, a SAFEARRAY with its elements;
// nothing for VT_BYREF forms) and leaves it VT_EMPTY. E_INVALIDARG for
// null; DISP_E_BADVARTYPE for a type code that is not a VARIANT type, and
// DISP_E_ARRAYISLOCKED for an array still being accessed: the VARIANT is
// then left as it was.
HRESULT VariantClear(VARIANTARG* v);
// Deep copy: BSTRs and SAFEARRAYs are duplicated, VT_BYREF forms copy the
// pointer. The destination is cleared first (its failure is answered).
HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* src);
// As VariantCopy, but a VT_BYREF source is replaced by the value it points
// at (a BYREF VARIANT by its VARIANT, which may itself hold one more BYREF
// value but not another BYREF VARIANT: E_INVALIDARG). dest may be src.
HRESULT VariantCopyInd(VARIANT* dest, const VARIANTARG* src);

// Converts `src` to type `vt` into `dest` (dest may be src). On failure dest
// is left unchanged. See variant_change_type.cpp for the rules.
HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* src, USHORT flags, VARTYPE vt);
// The locale argument is accepted and not used: numbers are read and
// written in the process's current numeric locale (LC_NUMERIC).
HRESULT VariantChangeTypeEx(VARIANTARG* dest, const VARIANTARG* src, LCID lcid, USHORT flags, VARTYPE vt);

// ---- SAFEARRAY ---------------------------------------------------------------
// One dimension of `count` zero-filled elements of type vt, indexed from
// `lowerBound`. Element types: VT_I1, VT_UI1, VT_I2, VT_UI2, VT_I4, VT_UI4,
// VT_INT, VT_UINT, VT_I8, VT_UI8, VT_R4, VT_R8, VT_CY, VT_DATE, VT_BOOL,
// VT_ERROR, VT_BSTR, VT_VARIANT. Null for any other type or on exhaustion.
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG count);
// Frees the descriptor and its data (BSTR and VARIANT elements too). Null is
// accepted. A locked array answers DISP_E_ARRAYISLOCKED and stays intact.
HRESULT SafeArrayDestroy(SAFEARRAY* array);
// Lock counting: E_UNEXPECTED when the count would pass 65535 or fall below 0.
HRESULT SafeArrayLock(SAFEARRAY* array);
HRESULT SafeArrayUnlock(SAFEARRAY* array);
// Locks the array and gives its data pointer; UnaccessData unlocks.
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
HRESULT SafeArrayUnaccessData(SAFEARRAY* array);
// Dimensions are numbered from 1; DISP_E_BADINDEX outside 1..cDims.
HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound);
HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound);
UINT SafeArrayGetDim(SAFEARRAY* array);
UINT SafeArrayGetElemsize(SAFEARRAY* array);
HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt);
// Deep copy (BSTR and VARIANT elements duplicated); the copy is unlocked.
HRESULT SafeArrayCopy(SAFEARRAY* array, SAFEARRAY** copy);

}  // extern "C"
