// The automation value layer: layouts, BSTRs, SAFEARRAYs, VARIANT copies
// and VariantChangeType, table-driven at the boundaries of every conversion
// the system uses.
#include "platform/automation/oleauto.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <locale.h>

#include "platform/automation/emulation/number_text.h"
#include "platform/code_page.h"

namespace {

// ---- helpers ------------------------------------------------------------------

struct Var {
  VARIANT v;
  Var() { VariantInit(&v); }
  ~Var() { VariantClear(&v); }
  VARIANT* operator&() { return &v; }
};

Var R8(double value) {
  Var out;
  out.v.vt = VT_R8;
  out.v.dblVal = value;
  return out;
}

Var Text(const std::u16string& text) {
  Var out;
  out.v.vt = VT_BSTR;
  out.v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return out;
}

// An integer, VT_BOOL or VT_CY source holding `value` in the member of its type.
Var Int(VARTYPE vt, int64_t value) {
  Var out;
  out.v.vt = vt;
  out.v.llVal = 0;
  switch (vt) {
    case VT_I1: out.v.cVal = static_cast<CHAR>(value); break;
    case VT_UI1: out.v.bVal = static_cast<BYTE>(value); break;
    case VT_I2: out.v.iVal = static_cast<SHORT>(value); break;
    case VT_BOOL: out.v.boolVal = static_cast<VARIANT_BOOL>(value); break;
    case VT_UI2: out.v.uiVal = static_cast<USHORT>(value); break;
    case VT_I4: out.v.lVal = static_cast<LONG>(value); break;
    case VT_UI4: out.v.ulVal = static_cast<ULONG>(value); break;
    case VT_CY: out.v.cyVal.int64 = value; break;
    default: out.v.llVal = value; break;
  }
  return out;
}

std::u16string AsText(const VARIANT& v) { return std::u16string(v.bstrVal, SysStringLen(v.bstrVal)); }
std::string U8(const std::u16string& text) { return vornfmt::codepage::Utf16ToUtf8(text); }

// Any integer member of an integer VARIANT, widened.
long double IntegerOf(const VARIANT& v) {
  switch (v.vt) {
    case VT_I1: return v.cVal;
    case VT_UI1: return v.bVal;
    case VT_I2: return v.iVal;
    case VT_UI2: return v.uiVal;
    case VT_I4: return v.lVal;
    case VT_UI4: return v.ulVal;
    case VT_INT: return v.intVal;
    case VT_UINT: return v.uintVal;
    case VT_I8: return static_cast<long double>(v.llVal);
    case VT_UI8: return static_cast<long double>(v.ullVal);
    case VT_BOOL: return v.boolVal;
    case VT_R8: return v.dblVal;
    default: return std::numeric_limits<long double>::quiet_NaN();
  }
}

// `source` changed to `vt` answers `hr`: on success a `vt` whose integer is
// `expected` (NaN: not compared), on failure the destination stays empty.
void ExpectChange(VARIANT* source, VARTYPE vt, HRESULT hr, long double expected, const std::string& what) {
  Var result;
  EXPECT_EQ(VariantChangeType(&result, source, 0, vt), hr) << what << " to vt " << vt;
  EXPECT_EQ(result.v.vt, hr == S_OK ? vt : VARTYPE{VT_EMPTY}) << what << " to vt " << vt;
  if (hr == S_OK && !std::isnan(expected)) {
    EXPECT_EQ(IntegerOf(result.v), expected) << what << " to vt " << vt;
  }
}
void ExpectChange(Var& source, VARTYPE vt, HRESULT hr, long double expected, const std::string& what) {
  ExpectChange(&source, vt, hr, expected, what);
}

// ---- layouts and codes -----------------------------------------------------------

TEST(AutomationLayout, MatchesTheWindowsX64Layout) {
  EXPECT_EQ(sizeof(VARIANT), 24u);
  EXPECT_EQ(offsetof(VARIANT, vt), 0u);
  EXPECT_EQ(offsetof(VARIANT, wReserved3), 6u);
  EXPECT_EQ(offsetof(VARIANT, lVal), 8u);
  EXPECT_EQ(offsetof(VARIANT, pRecInfo), 16u);
  EXPECT_EQ(sizeof(SAFEARRAY), 32u);
  EXPECT_EQ(offsetof(SAFEARRAY, pvData), 16u);
  EXPECT_EQ(offsetof(SAFEARRAY, rgsabound), 24u);
}

// ---- BSTR ------------------------------------------------------------------------

TEST(Bstr, LengthPrefixTerminatorNullEmptyAndLimits) {
  BSTR text = SysAllocString(u"Test");
  ASSERT_NE(text, nullptr);
  DWORD prefix;
  std::memcpy(&prefix, reinterpret_cast<char*>(text) - 4, 4);
  EXPECT_EQ(prefix, 8u);
  EXPECT_EQ(SysStringLen(text), 4u);
  EXPECT_EQ(std::u16string(text), u"Test");
  SysFreeString(text);
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
  SysFreeString(nullptr);
  BSTR zeros = SysAllocStringLen(nullptr, 3), empty = SysAllocStringLen(nullptr, 0);
  ASSERT_TRUE(zeros && empty);
  EXPECT_EQ(SysStringLen(empty), 0u);
  EXPECT_EQ(empty[0], u'\0');
  EXPECT_EQ(SysStringLen(zeros), 3u);
  EXPECT_EQ(zeros[0] | zeros[1] | zeros[2] | zeros[3], 0);
  SysFreeString(zeros);
  SysFreeString(empty);
  const char16_t withNul[] = {u'a', u'\0', u'b'};
  text = SysAllocStringLen(withNul, 3);
  EXPECT_EQ(SysStringLen(text), 3u);  // the length, not the first NUL, counts
  EXPECT_EQ(text[2], u'b');
  SysFreeString(text);
  BSTR odd = SysAllocStringByteLen("Tes", 3);
  ASSERT_NE(odd, nullptr);
  EXPECT_EQ(SysStringByteLen(odd), 3u);
  EXPECT_EQ(SysStringLen(odd), 1u);
  EXPECT_EQ(reinterpret_cast<const char*>(odd)[3], '\0');
  SysFreeString(odd);
  EXPECT_EQ(SysAllocStringByteLen("x", 0xFFFFFFFFu), nullptr);
  EXPECT_EQ(SysAllocStringLen(u"x", 0x80000000u), nullptr);
}

// ---- SAFEARRAY ---------------------------------------------------------------------

TEST(SafeArray, VectorBoundsAndElements) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, -1, 5);
  ASSERT_NE(array, nullptr);
  LONG lower = 0, upper = 0;
  EXPECT_EQ(SafeArrayGetLBound(array, 1, &lower), S_OK);
  EXPECT_EQ(SafeArrayGetUBound(array, 1, &upper), S_OK);
  EXPECT_EQ(std::pair(lower, upper), std::pair(-1, 3));
  EXPECT_EQ(SafeArrayGetLBound(array, 0, &lower), DISP_E_BADINDEX);
  EXPECT_EQ(SafeArrayGetUBound(array, 2, &upper), DISP_E_BADINDEX);
  EXPECT_EQ(SafeArrayGetLBound(nullptr, 1, &lower), E_INVALIDARG);
  EXPECT_EQ(SafeArrayGetUBound(array, 1, nullptr), E_INVALIDARG);
  EXPECT_EQ(SafeArrayGetDim(array), 1u);
  EXPECT_EQ(SafeArrayGetElemsize(array), 1u);
  VARTYPE vt = 0;
  EXPECT_EQ(SafeArrayGetVartype(array, &vt), S_OK);
  EXPECT_EQ(vt, VT_UI1);
  EXPECT_EQ(SafeArrayDestroy(array), S_OK);
  SAFEARRAY* shorts = SafeArrayCreateVector(VT_I2, 0, 4);
  ASSERT_NE(shorts, nullptr);
  EXPECT_EQ(SafeArrayGetElemsize(shorts), 2u);
  EXPECT_EQ(std::memcmp(shorts->pvData, "\0\0\0\0\0\0\0\0", 8), 0);  // zero-filled
  EXPECT_EQ(SafeArrayDestroy(shorts), S_OK);
  SAFEARRAY* empty = SafeArrayCreateVector(VT_I4, 10, 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SafeArrayGetUBound(empty, 1, &upper), S_OK);
  EXPECT_EQ(upper, 9);  // one below the lower bound
  EXPECT_EQ(SafeArrayDestroy(empty), S_OK);
  EXPECT_EQ(SafeArrayCreateVector(VT_EMPTY, 0, 1), nullptr);
  EXPECT_EQ(SafeArrayCreateVector(VT_DECIMAL, 0, 1), nullptr);
  EXPECT_EQ(SafeArrayDestroy(nullptr), S_OK);
  // A copy duplicates BSTR elements.
  SAFEARRAY* texts = SafeArrayCreateVector(VT_BSTR, 0, 2);
  static_cast<BSTR*>(texts->pvData)[0] = SysAllocString(u"one");
  SAFEARRAY* copy = nullptr;
  ASSERT_EQ(SafeArrayCopy(texts, &copy), S_OK);
  BSTR duplicate = static_cast<BSTR*>(copy->pvData)[0];
  EXPECT_NE(static_cast<BSTR*>(texts->pvData)[0], duplicate);
  EXPECT_EQ(static_cast<BSTR*>(copy->pvData)[1], nullptr);
  EXPECT_EQ(SafeArrayDestroy(texts), S_OK);  // frees "one"; the copy keeps its own
  EXPECT_EQ(std::u16string(duplicate), u"one");
  EXPECT_EQ(SafeArrayDestroy(copy), S_OK);
}

TEST(SafeArray, LockCountsGuardDestructionUpTo65535) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 2);
  void* first = nullptr;
  void* second = nullptr;
  ASSERT_EQ(SafeArrayAccessData(array, &first), S_OK);
  ASSERT_EQ(SafeArrayAccessData(array, &second), S_OK);
  EXPECT_EQ(first, array->pvData);
  EXPECT_EQ(first, second);
  EXPECT_EQ(array->cLocks, 2u);
  static_cast<BYTE*>(first)[1] = 0x5A;
  EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(static_cast<BYTE*>(first)[1], 0x5A);  // untouched
  EXPECT_EQ(SafeArrayUnaccessData(array), S_OK);
  EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(SafeArrayUnaccessData(array), S_OK);
  EXPECT_EQ(array->cLocks, 0u);
  EXPECT_EQ(SafeArrayUnaccessData(array), E_UNEXPECTED);  // never below zero
  EXPECT_EQ(SafeArrayAccessData(array, nullptr), E_INVALIDARG);
  for (int i = 0; i < 0xFFFF; ++i) ASSERT_EQ(SafeArrayLock(array), S_OK);
  EXPECT_EQ(SafeArrayLock(array), E_UNEXPECTED);
  for (int i = 0; i < 0xFFFF; ++i) ASSERT_EQ(SafeArrayUnlock(array), S_OK);
  EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

// ---- VARIANT lifetime ------------------------------------------------------------

TEST(Variant, CopyDuplicatesBstrsAndByteArrays) {
  Var source = Text(u"abc"), copy, other = Text(u"xyz");
  ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
  EXPECT_EQ(copy.v.vt, VT_BSTR);
  EXPECT_NE(copy.v.bstrVal, source.v.bstrVal);
  EXPECT_EQ(AsText(copy.v), u"abc");
  // Copying over a VARIANT that owns a text frees that text (ASan would see a leak).
  ASSERT_EQ(VariantCopy(&copy, &other), S_OK);
  EXPECT_EQ(AsText(copy.v), u"xyz");
  EXPECT_EQ(VariantCopy(&copy, &copy), S_OK);
  EXPECT_EQ(AsText(copy.v), u"xyz");
  Var bytes;
  bytes.v.vt = VT_ARRAY | VT_UI1;
  bytes.v.parray = SafeArrayCreateVector(VT_UI1, 0, 3);
  std::memcpy(bytes.v.parray->pvData, "\x01\x02\x03", 3);
  ASSERT_EQ(VariantCopy(&copy, &bytes), S_OK);
  ASSERT_EQ(copy.v.vt, VT_ARRAY | VT_UI1);
  ASSERT_NE(copy.v.parray, bytes.v.parray);
  EXPECT_EQ(std::memcmp(copy.v.parray->pvData, "\x01\x02\x03", 3), 0);
  static_cast<BYTE*>(copy.v.parray->pvData)[0] = 9;
  EXPECT_EQ(static_cast<BYTE*>(bytes.v.parray->pvData)[0], 1);
}

TEST(Variant, ClearRefusesBadTypesAndLockedArrays) {
  VARIANT bad;
  for (VARTYPE vt : {VARTYPE{15}, VARTYPE(VT_I4 | VT_VECTOR), VARTYPE(VT_EMPTY | VT_BYREF)}) {
    bad.vt = vt;
    EXPECT_EQ(VariantClear(&bad), DISP_E_BADVARTYPE) << vt;
  }
  EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
  Var locked;
  locked.v.vt = VT_ARRAY | VT_UI1;
  locked.v.parray = SafeArrayCreateVector(VT_UI1, 0, 1);
  void* data;
  ASSERT_EQ(SafeArrayAccessData(locked.v.parray, &data), S_OK);
  EXPECT_EQ(VariantClear(&locked), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(locked.v.vt, VT_ARRAY | VT_UI1);  // still owns its array
  EXPECT_EQ(SafeArrayUnaccessData(locked.v.parray), S_OK);
  EXPECT_EQ(VariantClear(&locked), S_OK);
  EXPECT_EQ(locked.v.vt, VT_EMPTY);
}

TEST(Variant, ByrefFormsAreCopiedAsPointersAndDereferencedByCopyInd) {
  BSTR text = SysAllocString(u"ref");
  Var byref, copy, arrayRef;
  byref.v.vt = VT_BYREF | VT_BSTR;
  byref.v.pbstrVal = &text;
  ASSERT_EQ(VariantCopy(&copy, &byref), S_OK);
  EXPECT_EQ(copy.v.vt, VT_BYREF | VT_BSTR);
  EXPECT_EQ(copy.v.pbstrVal, &text);
  ASSERT_EQ(VariantCopyInd(&copy, &byref), S_OK);
  EXPECT_EQ(copy.v.vt, VT_BSTR);
  EXPECT_NE(copy.v.bstrVal, text);
  EXPECT_EQ(AsText(copy.v), u"ref");
  SysFreeString(text);
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 2);
  arrayRef.v.vt = VT_BYREF | VT_ARRAY | VT_UI1;  // 0x6011
  arrayRef.v.pparray = &array;
  ASSERT_EQ(VariantCopyInd(&copy, &arrayRef), S_OK);
  EXPECT_EQ(copy.v.vt, VT_ARRAY | VT_UI1);
  EXPECT_NE(copy.v.parray, array);
  SafeArrayDestroy(array);
  // One VARIANT level is followed, and a BYREF value in it is read too ...
  Var inner = Int(VT_I2, 0x77), outer;
  outer.v.vt = VT_BYREF | VT_VARIANT;  // 0x400C
  outer.v.pvarVal = &inner.v;
  ASSERT_EQ(VariantCopyInd(&copy, &outer), S_OK);
  EXPECT_EQ(copy.v.vt, VT_I2);
  EXPECT_EQ(copy.v.iVal, 0x77);
  BYTE byte = 0x88;
  inner.v.vt = VT_BYREF | VT_UI1;
  inner.v.pbVal = &byte;
  ASSERT_EQ(VariantCopyInd(&copy, &outer), S_OK);
  EXPECT_EQ(copy.v.vt, VT_UI1);
  EXPECT_EQ(copy.v.bVal, 0x88);
  // ... but not another BYREF VARIANT.
  Var innermost;
  inner.v.vt = VT_BYREF | VT_VARIANT;
  inner.v.pvarVal = &innermost.v;
  EXPECT_EQ(VariantCopyInd(&copy, &outer), E_INVALIDARG);
  inner.v.vt = VT_EMPTY;
}

// ---- VariantChangeType: numbers to integers -----------------------------------------

struct RealCase {
  VARTYPE vt;
  double value;
  HRESULT hr;
  long double expected;
};

// min-1, min, max, max+1 for every integer type, the fractional edges that
// round into or out of the range, and rounding half to even.
const RealCase kRealToInteger[] = {
    {VT_I1, -129.0, DISP_E_OVERFLOW, 0}, {VT_I1, -128.0, S_OK, -128}, {VT_I1, 127.0, S_OK, 127},
    {VT_I1, 128.0, DISP_E_OVERFLOW, 0}, {VT_I1, -128.5, S_OK, -128}, {VT_I1, -128.51, DISP_E_OVERFLOW, 0},
    {VT_I1, 127.49, S_OK, 127}, {VT_I1, 127.5, DISP_E_OVERFLOW, 0},
    {VT_UI1, -1.0, DISP_E_OVERFLOW, 0}, {VT_UI1, 0.0, S_OK, 0}, {VT_UI1, 255.0, S_OK, 255},
    {VT_UI1, 256.0, DISP_E_OVERFLOW, 0}, {VT_UI1, -0.5, S_OK, 0}, {VT_UI1, -0.51, DISP_E_OVERFLOW, 0},
    {VT_UI1, 255.5, DISP_E_OVERFLOW, 0},
    {VT_I2, -32769.0, DISP_E_OVERFLOW, 0}, {VT_I2, -32768.0, S_OK, -32768}, {VT_I2, 32767.0, S_OK, 32767},
    {VT_I2, 32768.0, DISP_E_OVERFLOW, 0},
    {VT_UI2, -1.0, DISP_E_OVERFLOW, 0}, {VT_UI2, 0.0, S_OK, 0}, {VT_UI2, 65535.0, S_OK, 65535},
    {VT_UI2, 65536.0, DISP_E_OVERFLOW, 0},
    {VT_I4, -2147483649.0, DISP_E_OVERFLOW, 0}, {VT_I4, -2147483648.0, S_OK, -2147483648.0L},
    {VT_I4, 2147483647.0, S_OK, 2147483647}, {VT_I4, 2147483648.0, DISP_E_OVERFLOW, 0},
    {VT_INT, -2147483649.0, DISP_E_OVERFLOW, 0}, {VT_INT, -2147483648.0, S_OK, -2147483648.0L},
    {VT_INT, 2147483647.0, S_OK, 2147483647}, {VT_INT, 2147483648.0, DISP_E_OVERFLOW, 0},
    {VT_UI4, -1.0, DISP_E_OVERFLOW, 0}, {VT_UI4, 0.0, S_OK, 0}, {VT_UI4, 4294967295.0, S_OK, 4294967295.0L},
    {VT_UI4, 4294967296.0, DISP_E_OVERFLOW, 0},
    {VT_UINT, -1.0, DISP_E_OVERFLOW, 0}, {VT_UINT, 0.0, S_OK, 0}, {VT_UINT, 4294967295.0, S_OK, 4294967295.0L},
    {VT_UINT, 4294967296.0, DISP_E_OVERFLOW, 0},
    // Doubles cannot hold 2^63 - 1 or -2^63 - 1: the neighbouring doubles stand in.
    {VT_I8, -9223372036854777856.0, DISP_E_OVERFLOW, 0}, {VT_I8, -9223372036854775808.0, S_OK, -9223372036854775808.0L},
    {VT_I8, 9223372036854774784.0, S_OK, 9223372036854774784.0L}, {VT_I8, 9223372036854775808.0, DISP_E_OVERFLOW, 0},
    {VT_UI8, -1.0, DISP_E_OVERFLOW, 0}, {VT_UI8, 0.0, S_OK, 0},
    {VT_UI8, 18446744073709549568.0, S_OK, 18446744073709549568.0L}, {VT_UI8, 18446744073709551616.0, DISP_E_OVERFLOW, 0},
    // Not numbers at all.
    {VT_I4, std::numeric_limits<double>::infinity(), DISP_E_OVERFLOW, 0},
    {VT_I4, -std::numeric_limits<double>::infinity(), DISP_E_OVERFLOW, 0},
    {VT_I4, std::numeric_limits<double>::quiet_NaN(), DISP_E_OVERFLOW, 0},
    {VT_I2, 1e300, DISP_E_OVERFLOW, 0},
    // Half to even; 0.49999999999999994 + 0.5 would round up to 1.
    {VT_I4, 0.5, S_OK, 0}, {VT_I4, -0.5, S_OK, 0}, {VT_I4, 1.5, S_OK, 2}, {VT_I4, -1.5, S_OK, -2},
    {VT_I4, 2.5, S_OK, 2}, {VT_I4, -2.5, S_OK, -2}, {VT_I4, 0.6, S_OK, 1}, {VT_I4, -0.6, S_OK, -1},
    {VT_I4, 0.49999999999999994, S_OK, 0},
    // 2^52 - 0.5 is odd + 0.5: it goes up to the even 2^52.
    {VT_I8, 4503599627370495.5, S_OK, 4503599627370496.0L},
};

TEST(ChangeType, RealsAndIntegersToIntegersAtEveryBoundary) {
  for (const RealCase& c : kRealToInteger) {
    Var source = R8(c.value);
    ExpectChange(source, c.vt, c.hr, c.expected, std::to_string(c.value));
  }
  const struct {
    VARTYPE from;
    int64_t value;
    VARTYPE to;
    HRESULT hr;
  } cases[] = {
      {VT_I4, -1, VT_UI4, DISP_E_OVERFLOW}, {VT_I4, 0, VT_UI4, S_OK},
      {VT_UI4, 4294967295LL, VT_I4, DISP_E_OVERFLOW}, {VT_UI4, 2147483647LL, VT_I4, S_OK},
      {VT_I2, -129, VT_I1, DISP_E_OVERFLOW}, {VT_I2, -128, VT_I1, S_OK}, {VT_I2, 255, VT_UI1, S_OK},
      {VT_I2, 256, VT_UI1, DISP_E_OVERFLOW}, {VT_I8, 2147483648LL, VT_I4, DISP_E_OVERFLOW},
      {VT_I8, -2147483648LL, VT_INT, S_OK}, {VT_I8, -1, VT_UI8, DISP_E_OVERFLOW},
  };
  for (const auto& c : cases) {
    Var source = Int(c.from, c.value);
    ExpectChange(source, c.to, c.hr, static_cast<long double>(c.value), std::to_string(c.value));
  }
}

TEST(ChangeType, FloatsDatesAndCurrency) {
  Var result;
  Var big = R8(3.5e38);
  EXPECT_EQ(VariantChangeType(&result, &big, 0, VT_R4), DISP_E_OVERFLOW);
  Var fits = R8(1e38);
  ASSERT_EQ(VariantChangeType(&result, &fits, 0, VT_R4), S_OK);
  EXPECT_FLOAT_EQ(result.v.fltVal, 1e38f);

  const std::pair<double, HRESULT> dates[] = {
      {-657435.0, DISP_E_OVERFLOW}, {-657434.0, S_OK}, {2958465.99, S_OK}, {2958466.0, DISP_E_OVERFLOW}};
  for (const auto& [day, hr] : dates) {
    Var source = R8(day);
    ExpectChange(source, VT_DATE, hr, NAN, std::to_string(day));
  }

  Var money = R8(1.23456);
  ASSERT_EQ(VariantChangeType(&result, &money, 0, VT_CY), S_OK);
  EXPECT_EQ(result.v.cyVal.int64, 12346);  // 12345.6 units of 1/10000, rounded
  Var tooMuch = R8(1e15);
  EXPECT_EQ(VariantChangeType(&result, &tooMuch, 0, VT_CY), DISP_E_OVERFLOW);

  const struct {
    int64_t units;
    LONG expected;
  } currency[] = {{25000, 2}, {35000, 4}, {-25000, -2}, {15001, 2}, {-5000, 0}};
  for (const auto& c : currency) {
    Var source = Int(VT_CY, c.units);
    ExpectChange(source, VT_I4, S_OK, c.expected, std::to_string(c.units));
  }
}

// ---- VariantChangeType: text to numbers -------------------------------------------------

struct TextCase {
  std::u16string text;
  VARTYPE vt;
  HRESULT hr;
  long double expected;
};

const TextCase kTextToInteger[] = {
    {u"-129", VT_I1, DISP_E_OVERFLOW, 0}, {u"-128", VT_I1, S_OK, -128}, {u"127", VT_I1, S_OK, 127},
    {u"128", VT_I1, DISP_E_OVERFLOW, 0},
    {u"-1", VT_UI1, DISP_E_OVERFLOW, 0}, {u"0", VT_UI1, S_OK, 0}, {u"255", VT_UI1, S_OK, 255},
    {u"256", VT_UI1, DISP_E_OVERFLOW, 0},
    {u"-32769", VT_I2, DISP_E_OVERFLOW, 0}, {u"-32768", VT_I2, S_OK, -32768}, {u"32767", VT_I2, S_OK, 32767},
    {u"32768", VT_I2, DISP_E_OVERFLOW, 0},
    {u"-1", VT_UI2, DISP_E_OVERFLOW, 0}, {u"65535", VT_UI2, S_OK, 65535}, {u"65536", VT_UI2, DISP_E_OVERFLOW, 0},
    {u"-2147483649", VT_I4, DISP_E_OVERFLOW, 0}, {u"-2147483648", VT_I4, S_OK, -2147483648.0L},
    {u"2147483647", VT_I4, S_OK, 2147483647}, {u"2147483648", VT_I4, DISP_E_OVERFLOW, 0},
    {u"-1", VT_UI4, DISP_E_OVERFLOW, 0}, {u"4294967295", VT_UI4, S_OK, 4294967295.0L},
    {u"4294967296", VT_UI4, DISP_E_OVERFLOW, 0},
    {u"-2147483649", VT_INT, DISP_E_OVERFLOW, 0}, {u"2147483647", VT_INT, S_OK, 2147483647},
    {u"4294967295", VT_UINT, S_OK, 4294967295.0L}, {u"4294967296", VT_UINT, DISP_E_OVERFLOW, 0},
    {u"-9223372036854775809", VT_I8, DISP_E_OVERFLOW, 0},
    {u"-9223372036854775808", VT_I8, S_OK, -9223372036854775808.0L},
    {u"9223372036854775807", VT_I8, S_OK, 9223372036854775807.0L},
    {u"9223372036854775808", VT_I8, DISP_E_OVERFLOW, 0},
    {u"-1", VT_UI8, DISP_E_OVERFLOW, 0}, {u"18446744073709551615", VT_UI8, S_OK, 18446744073709551615.0L},
    {u"18446744073709551616", VT_UI8, DISP_E_OVERFLOW, 0},
    {u"99999999999999999999999", VT_UI8, DISP_E_OVERFLOW, 0},
    // The exact decimal value is rounded half to even, not a double.
    {u"0.5", VT_I4, S_OK, 0}, {u"1.5", VT_I4, S_OK, 2}, {u"2.5", VT_I4, S_OK, 2}, {u"-2.5", VT_I4, S_OK, -2},
    {u"2.5000000000000000000001", VT_I4, S_OK, 3}, {u"-0.5", VT_UI1, S_OK, 0}, {u"-0.51", VT_UI1, DISP_E_OVERFLOW, 0},
    {u"127.5", VT_I1, DISP_E_OVERFLOW, 0}, {u"-128.5", VT_I1, S_OK, -128}, {u"1e3", VT_I2, S_OK, 1000},
    {u"1.5e1", VT_I2, S_OK, 15}, {u"2.5e-1", VT_I2, S_OK, 0}, {u"000000000000000000000000042", VT_I1, S_OK, 42},
    {u"1e999999999999", VT_I4, DISP_E_OVERFLOW, 0}, {u"1e-999999999999", VT_I4, S_OK, 0},
    // Blanks around the number, signs, parentheses.
    {u"\t-7\r\n", VT_I4, S_OK, -7}, {u"+5", VT_I4, S_OK, 5}, {u"- 5", VT_I4, S_OK, -5}, {u"5-", VT_I4, S_OK, -5},
    {u"5 +", VT_I4, S_OK, 5}, {u"(5)", VT_I4, S_OK, -5}, {u"\u00A08\u00A0", VT_I4, S_OK, 8},
    // VB hexadecimal and octal: the digits fill the target's bits.
    {u"&HFF", VT_I4, S_OK, 255}, {u"&hff", VT_UI1, S_OK, 255}, {u"&HFF", VT_I1, S_OK, -1},
    {u"&H10000", VT_I2, DISP_E_OVERFLOW, 0}, {u"&O17", VT_I4, S_OK, 15},
    {u"&HFFFFFFFFFFFFFFFF", VT_I8, S_OK, -1}, {u"&H10000000000000000", VT_UI8, DISP_E_OVERFLOW, 0},
};

TEST(ChangeType, TextToIntegerAtEveryBoundary) {
  ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  for (const TextCase& c : kTextToInteger) {
    Var source = Text(c.text);
    ExpectChange(source, c.vt, c.hr, c.expected, "text [" + U8(c.text) + "]");
  }
}

TEST(ChangeType, TextThatIsNoNumber) {
  const std::pair<std::u16string, VARTYPE> texts[] = {
      {u"", VT_I4},     {u"   ", VT_I4}, {u"1x", VT_I4},    {u"x1", VT_R8},   {u"1 2", VT_I4},  {u"1e", VT_R8},
      {u"1e+", VT_R8},  {u".", VT_R8},   {u"-", VT_I4},     {u"-5-", VT_I4},  {u"+-5", VT_I4},  {u"()", VT_I4},
      {u"(5", VT_I4},   {u"1.2.3", VT_R8}, {u"0x10", VT_I4}, {u"&H", VT_I4},  {u"-&H1", VT_I4}, {u"&O8", VT_I4},
      {u"nan", VT_R8},  {u"inf", VT_R8},
      {u"1,000", VT_I4},   // no thousands separator in "C"
      {u"\uFF11", VT_I4},  // full-width digit
  };
  for (const auto& [text, vt] : texts) {
    Var source = Text(text);
    ExpectChange(source, vt, DISP_E_TYPEMISMATCH, 0, U8(text));
  }
  Var nullText;
  nullText.v.vt = VT_BSTR;
  nullText.v.bstrVal = nullptr;  // a null BSTR is the empty text
  Var result;
  EXPECT_EQ(VariantChangeType(&result, &nullText, 0, VT_R8), DISP_E_TYPEMISMATCH);
}

TEST(ChangeType, TextToReal) {
  const struct {
    std::u16string text;
    double expected;
  } cases[] = {{u"1.5", 1.5}, {u" -0.25 ", -0.25}, {u".5", 0.5}, {u"5.", 5.0}, {u"1E3", 1000.0},
               {u"1e-3", 0.001}, {u"1e-400", 0.0}, {u"21.5", 21.5}, {u"&H10", 16.0},
               {u"0.1000000000000000055511151231257827021181583404541015625", 0.1},
               {u"17976931348623157" + std::u16string(292, u'0'),  // DBL_MAX written out, 309 digits
                1.7976931348623157e308}};
  for (const auto& c : cases) {
    Var source = Text(c.text);
    ExpectChange(source, VT_R8, S_OK, c.expected, U8(c.text));
  }
  Var result;
  const std::pair<std::u16string, VARTYPE> tooBig[] = {{u"1e309", VT_R8}, {u"3.5e38", VT_R4},
                                                       {u"922337203685477.5808", VT_CY}};
  for (const auto& [text, vt] : tooBig) {
    Var source = Text(text);
    ExpectChange(source, vt, DISP_E_OVERFLOW, 0, U8(text));
  }
  Var money = Text(u"-922337203685477.5808");
  ASSERT_EQ(VariantChangeType(&result, &money, 0, VT_CY), S_OK);
  EXPECT_EQ(result.v.cyVal.int64, INT64_MIN);
}

// ---- numbers to text --------------------------------------------------------------------

TEST(ChangeType, RealToTextUsesFifteenOrSevenSignificantDigits) {
  const struct {
    VARTYPE vt;
    double value;
    std::u16string text;
  } cases[] = {{VT_R8, 0.0, u"0"}, {VT_R8, -0.0, u"0"},  // never "-0"
               {VT_R8, -2.5, u"-2.5"}, {VT_R8, 0.1, u"0.1"}, {VT_R8, 1.0 / 3.0, u"0.333333333333333"},
               {VT_R8, 999999999999999.0, u"999999999999999"}, {VT_R8, 1e15, u"1E+15"},
               {VT_R8, 1234567890123456.0, u"1.23456789012346E+15"}, {VT_R8, 0.0001, u"0.0001"},
               {VT_R8, 0.00001, u"1E-05"}, {VT_R8, 1e100, u"1E+100"},
               {VT_R8, 1.7976931348623157e308, u"1.79769313486232E+308"}, {VT_R8, 100.0, u"100"},
               {VT_R4, 0.1f, u"0.1"}, {VT_R4, 654322.23456f, u"654322.2"}, {VT_R4, 16777216.0f, u"1.677722E+07"}};
  for (const auto& c : cases) {
    Var source = R8(c.value);
    if (c.vt == VT_R4) {
      source.v.vt = VT_R4;
      source.v.fltVal = static_cast<float>(c.value);
    }
    Var result;
    ASSERT_EQ(VariantChangeType(&result, &source, 0, VT_BSTR), S_OK);
    EXPECT_EQ(AsText(result.v), c.text) << c.value;
  }
}

TEST(ChangeType, IntegersCurrencyAndEmptyToText) {
  Var result;
  const struct {
    VARTYPE vt;
    int64_t value;
    std::u16string text;
  } cases[] = {{VT_I1, -128, u"-128"}, {VT_UI1, 255, u"255"}, {VT_I2, -32768, u"-32768"}, {VT_UI2, 65535, u"65535"},
               {VT_I4, INT32_MIN, u"-2147483648"}, {VT_UI4, UINT32_MAX, u"4294967295"},
               {VT_I8, INT64_MIN, u"-9223372036854775808"}, {VT_UI8, -1, u"18446744073709551615"},
               {VT_CY, 15000, u"1.5"}, {VT_CY, -15000, u"-1.5"}, {VT_CY, 9, u"0.0009"}, {VT_CY, 10000, u"1"},
               {VT_CY, INT64_MAX, u"922337203685477.5807"}};
  for (const auto& c : cases) {
    Var source = Int(c.vt, c.value);
    ASSERT_EQ(VariantChangeType(&result, &source, 0, VT_BSTR), S_OK);
    EXPECT_EQ(AsText(result.v), c.text);
  }
  Var empty;
  ASSERT_EQ(VariantChangeType(&result, &empty, 0, VT_BSTR), S_OK);
  EXPECT_EQ(result.v.vt, VT_BSTR);
  EXPECT_NE(result.v.bstrVal, nullptr);
  EXPECT_EQ(SysStringLen(result.v.bstrVal), 0u);
}

// ---- VARIANT_BOOL ------------------------------------------------------------------------

TEST(ChangeType, BoolIsMinusOneAndTruncatesIntoUnsignedTypes) {
  Var truth = Int(VT_BOOL, VARIANT_TRUE);
  Var result;
  const struct {
    VARTYPE vt;
    long double expected;
  } cases[] = {{VT_I1, -1}, {VT_UI1, 255}, {VT_I2, -1}, {VT_UI2, 65535}, {VT_I4, -1},
               {VT_UI4, 4294967295.0L}, {VT_I8, -1}, {VT_UI8, 18446744073709551615.0L}};
  for (const auto& c : cases) ExpectChange(truth, c.vt, S_OK, c.expected, "true");  // the bits of -1 are kept
  ASSERT_EQ(VariantChangeType(&result, &truth, 0, VT_R8), S_OK);
  EXPECT_EQ(result.v.dblVal, -1.0);
  ASSERT_EQ(VariantChangeType(&result, &truth, 0, VT_BSTR), S_OK);
  EXPECT_EQ(AsText(result.v), u"-1");  // without VARIANT_ALPHABOOL, the number
  ASSERT_EQ(VariantChangeType(&result, &truth, VARIANT_ALPHABOOL, VT_BSTR), S_OK);
  EXPECT_EQ(AsText(result.v), u"True");

  Var falsity = Int(VT_BOOL, VARIANT_FALSE);
  ASSERT_EQ(VariantChangeType(&result, &falsity, 0, VT_UI1), S_OK);
  EXPECT_EQ(result.v.bVal, 0);
  ASSERT_EQ(VariantChangeType(&result, &falsity, 0, VT_BSTR), S_OK);
  EXPECT_EQ(AsText(result.v), u"0");
  ASSERT_EQ(VariantChangeType(&result, &falsity, VARIANT_ALPHABOOL, VT_BSTR), S_OK);
  EXPECT_EQ(AsText(result.v), u"False");
}

TEST(ChangeType, NumbersAndTextToBool) {
  Var result;
  for (const auto& [number, expected] : {std::pair{0.0, VARIANT_FALSE}, {-0.0, VARIANT_FALSE}, {0.4, VARIANT_TRUE},
                                          {-1.0, VARIANT_TRUE}}) {
    Var source = R8(number);
    ExpectChange(source, VT_BOOL, S_OK, expected, std::to_string(number));
  }
  const struct {
    std::u16string text;
    HRESULT hr;
    VARIANT_BOOL expected;
  } texts[] = {{u"True", S_OK, VARIANT_TRUE},   {u"tRUE", S_OK, VARIANT_TRUE},     {u"false", S_OK, VARIANT_FALSE},
               {u"#TRUE#", S_OK, VARIANT_TRUE}, {u"#FALSE#", S_OK, VARIANT_FALSE}, {u"0", S_OK, VARIANT_FALSE},
               {u"-1", S_OK, VARIANT_TRUE},     {u"0.1", S_OK, VARIANT_TRUE},      {u" 0 ", S_OK, VARIANT_FALSE},
               // "#...#" is matched exactly; the words are not trimmed; no yes/no.
               {u"#True#", DISP_E_TYPEMISMATCH, 0}, {u" True", DISP_E_TYPEMISMATCH, 0},
               {u"Yes", DISP_E_TYPEMISMATCH, 0},    {u"", DISP_E_TYPEMISMATCH, 0}, {u"1e999", DISP_E_OVERFLOW, 0}};
  for (const auto& t : texts) {
    Var source = Text(t.text);
    ExpectChange(source, VT_BOOL, t.hr, t.expected, U8(t.text));
  }
}

// ---- special sources and targets, BYREF, in place -----------------------------------------

TEST(ChangeType, EmptyNullAndUnsupportedTypes) {
  Var empty, null, number = R8(1.0), date, result;
  null.v.vt = VT_NULL;
  date.v.vt = VT_DATE;
  date.v.date = 1.0;
  const struct {
    VARIANT* source;
    VARTYPE vt;
    HRESULT hr;
    long double expected;
  } rows[] = {{&empty, VT_I4, S_OK, 0}, {&empty, VT_R8, S_OK, 0}, {&empty, VT_BOOL, S_OK, VARIANT_FALSE},
              {&null, VT_I4, DISP_E_TYPEMISMATCH, 0}, {&null, VT_BSTR, DISP_E_TYPEMISMATCH, 0},
              {&null, VT_NULL, S_OK, NAN}, {&number, VT_EMPTY, S_OK, NAN},
              {&number, VT_DISPATCH, DISP_E_TYPEMISMATCH, 0}, {&number, VT_DECIMAL, DISP_E_BADVARTYPE, 0},
              {&number, VT_VOID, DISP_E_BADVARTYPE, 0}, {&number, VARTYPE(VT_ARRAY | VT_UI1), DISP_E_TYPEMISMATCH, 0},
              {&date, VT_BSTR, DISP_E_BADVARTYPE, 0},  // date text is not supported by this layer
              {&date, VT_I4, S_OK, 1}};
  for (const auto& row : rows) ExpectChange(row.source, row.vt, row.hr, row.expected, std::to_string(&row - rows));
  EXPECT_EQ(VariantChangeType(&result, &number, 0, VT_NULL), S_OK);
  EXPECT_EQ(VariantChangeType(nullptr, &number, 0, VT_I4), E_INVALIDARG);
  EXPECT_EQ(VariantChangeType(&result, nullptr, 0, VT_I4), E_INVALIDARG);
}

TEST(ChangeType, ByrefSources) {
  double value = 21.5;
  BSTR text = SysAllocString(u" 42 ");
  Var byref, textRef, inner = Text(u"7"), variantRef;
  byref.v.vt = VT_BYREF | VT_R8;
  byref.v.pdblVal = &value;
  textRef.v.vt = VT_BYREF | VT_BSTR;
  textRef.v.pbstrVal = &text;
  variantRef.v.vt = VT_BYREF | VT_VARIANT;
  variantRef.v.pvarVal = &inner.v;
  ExpectChange(byref, VT_I4, S_OK, 22, "byref");
  ExpectChange(byref, VT_R8, S_OK, 21.5, "byref");  // the target type, dereferenced
  ExpectChange(textRef, VT_UI1, S_OK, 42, "text byref");
  ExpectChange(variantRef, VT_I2, S_OK, 7, "variant byref");
  EXPECT_EQ(AsText(inner.v), u"7");  // the referenced VARIANT is not touched
  SysFreeString(text);
}

TEST(ChangeType, InPlaceAndFailureLeavesTheDestination) {
  Var value = Text(u"12");
  ASSERT_EQ(VariantChangeType(&value, &value, 0, VT_I4), S_OK);  // frees the text (ASan)
  EXPECT_EQ(value.v.vt, VT_I4);
  EXPECT_EQ(value.v.lVal, 12);

  Var dest = Int(VT_I4, 7);
  Var bad = Text(u"abc");
  EXPECT_EQ(VariantChangeType(&dest, &bad, 0, VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(dest.v.vt, VT_I4);
  EXPECT_EQ(dest.v.lVal, 7);

  Var text = Text(u"5");
  ASSERT_EQ(VariantChangeType(&text, &text, 0, VT_BSTR), S_OK);  // same type: unchanged
  EXPECT_EQ(AsText(text.v), u"5");
}

// ---- separators ----------------------------------------------------------------------------

using vornfmt::automation::NumericSeparators;
using vornfmt::automation::ParsedNumber;
using vornfmt::automation::ParseNumber;
using vornfmt::automation::ParsedToDouble;

double ParseWith(const std::u16string& text, const NumericSeparators& separators, bool& ok) {
  ParsedNumber number;
  double value = 0.0;
  ok = ParseNumber(text, separators, number) && ParsedToDouble(number, value);
  return value;
}

TEST(NumberText, DecimalCommaAndThousandsSeparators) {
  const NumericSeparators german{u",", u"."};
  const NumericSeparators english{u".", u","};
  const NumericSeparators french{u",", u"\u00A0"};
  const struct {
    std::u16string text;
    const NumericSeparators* separators;
    bool ok;
    double expected;
  } cases[] = {
      {u"1,5", &german, true, 1.5},
      {u"1.234,5", &german, true, 1234.5},
      {u" -0,25 ", &german, true, -0.25},
      {u"1.5", &german, true, 15.0},  // '.' separates thousands there, as on Windows
      {u"1,000", &english, true, 1000.0},
      {u"1,2,3", &english, true, 123.0},  // grouping is not checked
      {u"1,000.5", &english, true, 1000.5},
      {u",5", &english, false, 0.0},  // a separator before the first digit
      {u"1.5,0", &english, false, 0.0},  // none after the decimal separator
      {u"1\u00A0000,5", &french, true, 1000.5},
  };
  for (const auto& c : cases) {
    bool ok = false;
    const double value = ParseWith(c.text, *c.separators, ok);
    EXPECT_EQ(ok, c.ok) << U8(c.text);
    if (c.ok) {
      EXPECT_EQ(value, c.expected) << U8(c.text);
    }
  }
  EXPECT_EQ(vornfmt::automation::FormatReal(1.5, 15, german), u"1,5");
  EXPECT_EQ(vornfmt::automation::FormatReal(1.5e20, 15, german), u"1,5E+20");
  EXPECT_EQ(vornfmt::automation::FormatCurrency(15000, german), u"1,5");
}

// The real locale path: needs a locale with a decimal comma on the machine.
TEST(NumberText, FollowsTheCurrentNumericLocale) {
  locale_t comma = static_cast<locale_t>(0);
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8",
                           "es_ES.UTF-8", "it_IT.UTF-8"}) {
    comma = newlocale(LC_NUMERIC_MASK, name, static_cast<locale_t>(0));
    if (comma != static_cast<locale_t>(0)) break;
  }
  if (comma == static_cast<locale_t>(0))
    GTEST_SKIP() << "no locale with a decimal comma is installed (locale -a); the separator rules are "
                    "covered by DecimalCommaAndThousandsSeparators";
  const locale_t previous = uselocale(comma);
  Var text = Text(u"1,5");
  Var result;
  const HRESULT read = VariantChangeType(&result, &text, 0, VT_R8);
  const double value = result.v.dblVal;
  Var number = R8(2.25);
  Var written;
  const HRESULT write = VariantChangeType(&written, &number, 0, VT_BSTR);
  uselocale(previous);
  freelocale(comma);
  ASSERT_EQ(read, S_OK);
  EXPECT_EQ(value, 1.5);
  ASSERT_EQ(write, S_OK);
  EXPECT_EQ(AsText(written.v), u"2,25");
}

}  // namespace
