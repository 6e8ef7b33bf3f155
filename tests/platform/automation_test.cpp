// The automation value layer: layouts, BSTRs, SAFEARRAYs, VARIANT copies
// and VariantChangeType, table-driven at the boundaries of every conversion
// the system uses. The same cases run against Windows' own oleaut32
// (scripts/windows.sh runs them under Wine), so the emulation is held to the
// real layer; the number-text helpers of the emulation are tested here only
// off Windows.
#include "platform/automation/oleauto.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <span>
#include <thread>
#include <string>
#include <tuple>
#include <utility>
#include <vector>
#include <locale.h>

#ifndef _WIN32
#include "platform/automation/emulation/number_text.h"
#endif
#include "platform/code_page.h"

namespace {

#ifdef _WIN32
// Where the system's oleaut32 and the emulation differ, the cases say which
// answers what.
constexpr bool kSystemLayer = true;
// Windows' OLECHAR is wchar_t; the cases are written as char16_t text, the
// same UTF-16 units. These hide the system's functions in this file.
BSTR SysAllocString(const char16_t* text) { return ::SysAllocString(reinterpret_cast<const OLECHAR*>(text)); }
BSTR SysAllocStringLen(const char16_t* text, UINT length) {
  return ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text), length);
}
#else
constexpr bool kSystemLayer = false;
#endif


struct Var {
  VARIANT v;
  Var() { VariantInit(&v); }
  Var(Var&& other) noexcept : v(other.v) { VariantInit(&other.v); }
  ~Var() { VariantClear(&v); }
  VARIANT* operator&() { return &v; }
};

// A VT_R8 source, or VT_R4 or VT_DATE.
Var R8(double value, VARTYPE vt = VT_R8) {
  Var out;
  out.v.vt = vt;
  if (vt == VT_R4) out.v.fltVal = static_cast<float>(value);
  else out.v.dblVal = value;  // VT_DATE shares the member
  return out;
}

Var Text(const std::u16string& text) {
  Var out;
  out.v.vt = VT_BSTR;
  out.v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return out;
}

// An integer, VT_BOOL or VT_CY source holding `value` in the member of its
// type (the low bytes, little-endian); the rest of the VARIANT is zero.
// VT_EMPTY and VT_NULL hold nothing.
Var Int(VARTYPE vt, int64_t value = 0) {
  Var out;
  out.v.vt = vt;
  out.v.llVal = 0;
  const size_t width = vt == VT_I1 || vt == VT_UI1 ? 1 : vt == VT_I2 || vt == VT_UI2 || vt == VT_BOOL ? 2
                     : vt == VT_I4 || vt == VT_UI4 ? 4 : 8;
  std::memcpy(&out.v.llVal, &value, width);
  return out;
}

std::u16string AsText(const VARIANT& v) {
  return std::u16string(reinterpret_cast<const char16_t*>(v.bstrVal), SysStringLen(v.bstrVal));
}
std::string U8(const std::u16string& text) { return vornfmt::codepage::Utf16ToUtf8(text); }

// The number a VARIANT holds, widened; VT_CY in units of 1/10000.
long double NumberOf(const VARIANT& v) {
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
    case VT_R4: return v.fltVal;
    case VT_R8: return v.dblVal;
    case VT_DATE: return v.date;
    case VT_CY: return static_cast<long double>(v.cyVal.int64);
    default: return std::numeric_limits<long double>::quiet_NaN();
  }
}

std::string Describe(const VARIANT& v) {
  if (v.vt == VT_BSTR) return "text [" + U8(AsText(v)) + "]";
  return "vt " + std::to_string(v.vt) + " holding " + testing::PrintToString(static_cast<double>(NumberOf(v)));
}

constexpr HRESULT kOverflow = DISP_E_OVERFLOW, kMismatch = DISP_E_TYPEMISMATCH, kBadType = DISP_E_BADVARTYPE;

// `source` changed to `vt` answers `hr`: on success a `vt` holding `expected`
// (NaN: not compared), on failure the destination stays empty.
struct Change {
  Var source;
  VARTYPE vt;
  HRESULT hr;
  long double expected = 0;
};

// Where the system's layer that CI runs these cases against (Wine 8's
// oleaut32) answers otherwise than the emulation: the change as the trace
// names it, and the system's answer (NaN: its value is not compared). Some
// are the emulation's choices (no DECIMAL, no date text, the "C" locale's
// separators, where Wine uses the user's English one), the others Wine's
// own readings of the limits; with no Windows to settle them, the emulation
// keeps its answers and the differences stay written down here.
struct SystemDifference {
  std::string change;
  HRESULT hr;
  long double value;
};

const SystemDifference* FindSystemDifference(const std::string& change) {
  static const SystemDifference differences[] = {
      {"vt 5 holding -9.22337e+18 to vt 20", kOverflow, 0},  // -2^63 exactly
      {"vt 5 holding 9.22337e+18 to vt 20", kOverflow, 0},   // the largest double below 2^63
      {"vt 5 holding nan to vt 3", S_OK, NAN},
      {"vt 3 holding -1 to vt 19", S_OK, NAN},  // VT_UINT taken without a range check
      {"vt 19 holding 4.29497e+09 to vt 3", S_OK, NAN},
      {"vt 20 holding -1 to vt 21", S_OK, NAN},
      {"vt 5 holding 1 to vt 14", S_OK, NAN},  // DECIMAL
      {"vt 7 holding 1 to vt 8", S_OK, NAN},   // date text
      {"text [1e999999999999] to vt 3", S_OK, NAN},
      {"text [1e-999999999999] to vt 3", kOverflow, 0},
      {"text [&HFFFFFFFFFFFFFFFF] to vt 20", kOverflow, 0},
      {"text [17976931348623157" + std::string(292, '0') + "] to vt 5", kOverflow, 0},
      {"text [-922337203685477.5808] to vt 6", kOverflow, 0},
      {"text [0.1000000000000000055511151231257827021181583404541015625] to vt 5", S_OK, NAN},  // the next double
      {"text [+-5] to vt 3", S_OK, NAN},
      {"text [-&H1] to vt 3", S_OK, NAN},
      {"text [1,000] to vt 3", S_OK, 1000},  // the user's thousands separator
  };
  if (!kSystemLayer) return nullptr;
  for (const SystemDifference& difference : differences)
    if (difference.change == change) return &difference;
  return nullptr;
}

void ExpectChanges(std::span<Change> rows) {
  for (Change& row : rows) {
    const std::string change = Describe(row.source.v) + " to vt " + std::to_string(row.vt);
    SCOPED_TRACE(change);
    HRESULT hr = row.hr;
    long double expected = row.expected;
    if (const SystemDifference* difference = FindSystemDifference(change)) {
      hr = difference->hr;
      expected = difference->value;
    }
    Var result;
    EXPECT_EQ(VariantChangeType(&result, &row.source, 0, row.vt), hr);
    EXPECT_EQ(result.v.vt, hr == S_OK ? row.vt : VARTYPE{VT_EMPTY});
    if (hr != S_OK || std::isnan(expected)) continue;
    EXPECT_EQ(NumberOf(result.v), expected);
  }
}


TEST(AutomationLayout, MatchesTheWindowsX64Layout) {
  EXPECT_EQ(std::tuple(sizeof(VARIANT), offsetof(VARIANT, vt), offsetof(VARIANT, wReserved3), offsetof(VARIANT, lVal),
                       offsetof(VARIANT, pRecInfo)),
            std::tuple(24u, 0u, 6u, 8u, 16u));
  EXPECT_EQ(std::tuple(sizeof(SAFEARRAY), offsetof(SAFEARRAY, pvData), offsetof(SAFEARRAY, rgsabound)),
            std::tuple(32u, 16u, 24u));
}


// The length prefix of `text` and its bytes with the two after them; `text` is freed.
using BstrImage = std::pair<DWORD, std::string>;
BstrImage Image(BSTR text) {
  if (!text) return {0, "null"};
  DWORD prefix;
  std::memcpy(&prefix, reinterpret_cast<char*>(text) - 4, 4);
  EXPECT_EQ(SysStringByteLen(text), prefix);
  EXPECT_EQ(SysStringLen(text), prefix / 2);
  BstrImage image{prefix, std::string(reinterpret_cast<const char*>(text), prefix + 2)};
  SysFreeString(text);
  return image;
}

TEST(Bstr, LengthPrefixTerminatorNullEmptyAndLimits) {
  const char16_t withNul[] = {u'a', u'\0', u'b'};
  EXPECT_EQ(Image(SysAllocString(u"Test")), BstrImage(8, std::string("T\0e\0s\0t\0\0\0", 10)));
  EXPECT_EQ(Image(SysAllocStringLen(nullptr, 3)), BstrImage(6, std::string(8, '\0')));
  EXPECT_EQ(Image(SysAllocStringLen(nullptr, 0)), BstrImage(0, std::string(2, '\0')));
  // The length, not the first NUL, counts; an odd byte count is kept.
  EXPECT_EQ(Image(SysAllocStringLen(withNul, 3)), BstrImage(6, std::string("a\0\0\0b\0\0\0", 8)));
  EXPECT_EQ(Image(SysAllocStringByteLen("Tes", 3)), BstrImage(3, std::string("Tes\0\0", 5)));
  // Null, and lengths beyond the limit.
  EXPECT_EQ(std::tuple(SysAllocString(nullptr), SysAllocStringByteLen("x", 0xFFFFFFFFu),
                       SysAllocStringByteLen(nullptr, 0x7FFFFFFDu), SysAllocStringLen(u"x", 0x80000000u)),
            std::tuple(nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(std::tuple(SysStringLen(nullptr), SysStringByteLen(nullptr)), std::tuple(0u, 0u));
  SysFreeString(nullptr);
}

// Freed texts are kept for reuse by size (as by the system's own cache):
// a reused block must carry its new length, text and terminator, whatever
// longer text it held before, across every size class and past the
// largest cached size, and a text may be freed by a thread other than the
// one that made it, also after that thread has ended.
TEST(Bstr, ReusedBlocksCarryTheirNewLengthAndTerminator) {
  const std::string dirt(300, '\xFF');
  for (UINT bytes = 0; bytes <= 280; bytes += 7) {
    for (int round = 0; round < 3; ++round) SysFreeString(SysAllocStringByteLen(dirt.data(), bytes + 9));
    const std::string text(bytes, 'x');
    EXPECT_EQ(Image(SysAllocStringByteLen(text.data(), bytes)), BstrImage(bytes, text + std::string(2, '\0')))
        << bytes << " bytes";
  }
  BSTR fromThread = nullptr;
  std::thread([&] {
    SysFreeString(SysAllocString(u"kept in the thread's cache"));
    fromThread = SysAllocString(u"freed elsewhere");
  }).join();
  EXPECT_EQ(Image(fromThread), BstrImage(30, std::string("f\0r\0e\0e\0d\0 \0e\0l\0s\0e\0w\0h\0e\0r\0e\0\0\0", 32)));
}

std::pair<LONG, LONG> Bounds(SAFEARRAY* array) {
  LONG lower = 0, upper = 0;
  EXPECT_EQ(SafeArrayGetLBound(array, 1, &lower), S_OK);
  EXPECT_EQ(SafeArrayGetUBound(array, 1, &upper), S_OK);
  return {lower, upper};
}

TEST(SafeArray, VectorBoundsAndElements) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, -1, 5);
  ASSERT_NE(array, nullptr);
  EXPECT_EQ(Bounds(array), (std::pair<LONG, LONG>(-1, 3)));
  LONG bound = 0;
  EXPECT_EQ(std::tuple(SafeArrayGetLBound(array, 0, &bound), SafeArrayGetUBound(array, 2, &bound)),
            std::tuple(DISP_E_BADINDEX, DISP_E_BADINDEX));
  EXPECT_EQ(std::tuple(SafeArrayGetLBound(nullptr, 1, &bound), SafeArrayGetUBound(array, 1, nullptr)),
            std::tuple(E_INVALIDARG, E_INVALIDARG));
  EXPECT_EQ(std::tuple(SafeArrayGetDim(array), SafeArrayGetElemsize(array)), std::tuple(1u, 1u));
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
  EXPECT_EQ(Bounds(empty), (std::pair<LONG, LONG>(10, 9)));  // the upper bound one below the lower
  EXPECT_EQ(SafeArrayDestroy(empty), S_OK);
  EXPECT_EQ(SafeArrayCreateVector(VT_EMPTY, 0, 1), nullptr);
  // The system creates arrays of DECIMAL; the emulation has no DECIMAL and
  // refuses them.
  SAFEARRAY* decimals = SafeArrayCreateVector(VT_DECIMAL, 0, 1);
  EXPECT_EQ(decimals != nullptr, kSystemLayer);
  SafeArrayDestroy(decimals);
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
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(duplicate)), u"one");
  EXPECT_EQ(SafeArrayDestroy(copy), S_OK);
}

TEST(SafeArray, LockCountsGuardDestructionUpTo65535) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 2);
  void* first = nullptr;
  void* second = nullptr;
  ASSERT_EQ(SafeArrayAccessData(array, &first), S_OK);
  ASSERT_EQ(SafeArrayAccessData(array, &second), S_OK);
  EXPECT_EQ(std::tuple(first, second, array->cLocks), std::tuple(array->pvData, array->pvData, 2u));
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


Var Bytes3() {
  Var bytes;
  bytes.v.vt = VT_ARRAY | VT_UI1;
  bytes.v.parray = SafeArrayCreateVector(VT_UI1, 0, 3);
  std::memcpy(bytes.v.parray->pvData, "\x01\x02\x03", 3);
  return bytes;
}

TEST(Variant, CopyDuplicatesBstrsAndByteArrays) {
  Var source = Text(u"abc"), copy, other = Text(u"xyz"), bytes = Bytes3();
  ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
  EXPECT_EQ(copy.v.vt, VT_BSTR);
  EXPECT_NE(copy.v.bstrVal, source.v.bstrVal);
  EXPECT_EQ(AsText(copy.v), u"abc");
  // Copying over a VARIANT that owns a text frees that text (ASan would see a leak).
  ASSERT_EQ(VariantCopy(&copy, &other), S_OK);
  EXPECT_EQ(AsText(copy.v), u"xyz");
  EXPECT_EQ(VariantCopy(&copy, &copy), S_OK);
  EXPECT_EQ(AsText(copy.v), u"xyz");
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
  // The emulation answers E_INVALIDARG; Wine's oleaut32 reads through the null.
  if (!kSystemLayer) {
    EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
  }
  Var locked = Bytes3();
  void* data;
  ASSERT_EQ(SafeArrayAccessData(locked.v.parray, &data), S_OK);
  if (kSystemLayer) {
    // Wine's oleaut32 clears the VARIANT whatever the array's destruction
    // answered; its array stays, locked.
    SAFEARRAY* array = locked.v.parray;
    EXPECT_EQ(VariantClear(&locked), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(locked.v.vt, VT_EMPTY);
    EXPECT_EQ(SafeArrayUnaccessData(array), S_OK);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
    return;
  }
  EXPECT_EQ(VariantClear(&locked), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(locked.v.vt, VT_ARRAY | VT_UI1);  // still owns its array
  EXPECT_EQ(SafeArrayUnaccessData(locked.v.parray), S_OK);
  EXPECT_EQ(VariantClear(&locked), S_OK);
  EXPECT_EQ(locked.v.vt, VT_EMPTY);
}

// A VT_BYREF form of `vt` pointing at `target`.
Var Ref(VARTYPE vt, void* target) {
  Var out;
  out.v.vt = VT_BYREF | vt;
  out.v.byref = target;
  return out;
}

TEST(Variant, ByrefFormsAreCopiedAsPointersAndDereferencedByCopyInd) {
  BSTR text = SysAllocString(u"ref");
  Var textRef = Ref(VT_BSTR, &text), copy;
  ASSERT_EQ(VariantCopy(&copy, &textRef), S_OK);
  EXPECT_EQ(std::tuple(copy.v.vt, copy.v.pbstrVal), std::tuple(VT_BYREF | VT_BSTR, &text));
  ASSERT_EQ(VariantCopyInd(&copy, &textRef), S_OK);
  EXPECT_EQ(copy.v.vt, VT_BSTR);
  EXPECT_NE(copy.v.bstrVal, text);
  EXPECT_EQ(AsText(copy.v), u"ref");
  SysFreeString(text);
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 2);
  Var arrayRef = Ref(VT_ARRAY | VT_UI1, &array);  // 0x6011
  ASSERT_EQ(VariantCopyInd(&copy, &arrayRef), S_OK);
  EXPECT_EQ(copy.v.vt, VT_ARRAY | VT_UI1);
  EXPECT_NE(copy.v.parray, array);
  SafeArrayDestroy(array);
  // One VARIANT level is followed (0x400C), and a BYREF value in it is read
  // too, but not another BYREF VARIANT.
  BYTE byte = 0x88;
  Var value = Int(VT_I2, 0x77), byteRef = Ref(VT_UI1, &byte), innermost, variantRef = Ref(VT_VARIANT, &innermost);
  const std::tuple<VARIANT*, HRESULT, VARTYPE, long double> levels[] = {
      {&value.v, S_OK, VT_I2, 0x77}, {&byteRef.v, S_OK, VT_UI1, 0x88}, {&variantRef.v, E_INVALIDARG, VT_EMPTY, 0}};
  for (const auto& [inner, hr, vt, number] : levels) {
    Var outer = Ref(VT_VARIANT, inner), result;
    EXPECT_EQ(VariantCopyInd(&result, &outer), hr) << vt;
    EXPECT_EQ(result.v.vt, vt);
    if (hr != S_OK) continue;
    EXPECT_EQ(NumberOf(result.v), number);
  }
}

std::u16string Decimal(__int128 n) {
  std::u16string digits;
  for (auto m = static_cast<unsigned __int128>(n < 0 ? -n : n); digits.empty() || m != 0; m /= 10)
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + static_cast<int>(m % 10)));
  return n < 0 ? u"-" + digits : digits;
}

// min-1, min, max, max+1 of every integer type, from text and, where a
// double holds them, from VT_R8.
TEST(ChangeType, IntegerRangesFromNumbersAndText) {
  const std::tuple<VARTYPE, __int128, __int128> ranges[] = {
      {VT_I1, INT8_MIN, INT8_MAX},   {VT_UI1, 0, UINT8_MAX},        {VT_I2, INT16_MIN, INT16_MAX},
      {VT_UI2, 0, UINT16_MAX},       {VT_I4, INT32_MIN, INT32_MAX}, {VT_INT, INT32_MIN, INT32_MAX},
      {VT_UI4, 0, UINT32_MAX},       {VT_UINT, 0, UINT32_MAX},      {VT_I8, INT64_MIN, INT64_MAX},
      {VT_UI8, 0, UINT64_MAX}};
  std::vector<Change> rows;
  for (const auto& [vt, min, max] : ranges) {
    for (const __int128 n : {min - 1, min, max, max + 1}) {
      const HRESULT hr = n >= min && n <= max ? S_OK : kOverflow;
      rows.push_back({Text(Decimal(n)), vt, hr, static_cast<long double>(n)});
      if (max <= UINT32_MAX) rows.push_back({R8(static_cast<double>(n)), vt, hr, static_cast<long double>(n)});
    }
  }
  ASSERT_EQ(rows.size(), 4u * 18);
  ExpectChanges(rows);
}

// Fractional edges, rounding half to even, integers, floats, dates,
// currency, VT_BOOL, empty and null sources and unsupported types.
TEST(ChangeType, NumbersAtEveryBoundary) {
  auto True = [] { return Int(VT_BOOL, VARIANT_TRUE); };
  Change rows[] = {
      // Fractional edges that round into or out of the range.
      {R8(-128.5), VT_I1, S_OK, -128}, {R8(-128.51), VT_I1, kOverflow}, {R8(127.49), VT_I1, S_OK, 127},
      {R8(127.5), VT_I1, kOverflow}, {R8(-0.5), VT_UI1, S_OK, 0}, {R8(-0.51), VT_UI1, kOverflow},
      {R8(255.5), VT_UI1, kOverflow},
      // Doubles cannot hold 2^63 - 1 or -2^63 - 1: the neighbouring doubles stand in.
      {R8(-9223372036854777856.0), VT_I8, kOverflow},
      {R8(-9223372036854775808.0), VT_I8, S_OK, -9223372036854775808.0L},
      {R8(9223372036854774784.0), VT_I8, S_OK, 9223372036854774784.0L},
      {R8(9223372036854775808.0), VT_I8, kOverflow}, {R8(-1.0), VT_UI8, kOverflow}, {R8(0.0), VT_UI8, S_OK, 0},
      {R8(18446744073709549568.0), VT_UI8, S_OK, 18446744073709549568.0L},
      {R8(18446744073709551616.0), VT_UI8, kOverflow},
      // Not numbers at all.
      {R8(HUGE_VAL), VT_I4, kOverflow}, {R8(-HUGE_VAL), VT_I4, kOverflow}, {R8(NAN), VT_I4, kOverflow},
      {R8(1e300), VT_I2, kOverflow},
      // Half to even; 0.49999999999999994 + 0.5 would round up to 1.
      {R8(0.5), VT_I4, S_OK, 0}, {R8(-0.5), VT_I4, S_OK, 0}, {R8(1.5), VT_I4, S_OK, 2}, {R8(-1.5), VT_I4, S_OK, -2},
      {R8(2.5), VT_I4, S_OK, 2}, {R8(-2.5), VT_I4, S_OK, -2}, {R8(0.6), VT_I4, S_OK, 1}, {R8(-0.6), VT_I4, S_OK, -1},
      {R8(0.49999999999999994), VT_I4, S_OK, 0},
      // 2^52 - 0.5 is odd + 0.5: it goes up to the even 2^52.
      {R8(4503599627370495.5), VT_I8, S_OK, 4503599627370496.0L},
      // Integers into narrower or unsigned types.
      {Int(VT_I4, -1), VT_UI4, kOverflow}, {Int(VT_I4, 0), VT_UI4, S_OK, 0},
      {Int(VT_UI4, 4294967295LL), VT_I4, kOverflow}, {Int(VT_UI4, 2147483647LL), VT_I4, S_OK, 2147483647},
      {Int(VT_I2, -129), VT_I1, kOverflow}, {Int(VT_I2, -128), VT_I1, S_OK, -128}, {Int(VT_I2, 255), VT_UI1, S_OK, 255},
      {Int(VT_I2, 256), VT_UI1, kOverflow}, {Int(VT_I8, 2147483648LL), VT_I4, kOverflow},
      {Int(VT_I8, -2147483648LL), VT_INT, S_OK, -2147483648.0L}, {Int(VT_I8, -1), VT_UI8, kOverflow},
      // Single precision, dates (1 January 100 to 31 December 9999) and currency.
      {R8(3.5e38), VT_R4, kOverflow}, {R8(1e38), VT_R4, S_OK, 1e38f},
      {R8(-657435.0), VT_DATE, kOverflow}, {R8(-657434.0), VT_DATE, S_OK, -657434.0},
      {R8(2958465.99), VT_DATE, S_OK, 2958465.99}, {R8(2958466.0), VT_DATE, kOverflow},
      {R8(1.23456), VT_CY, S_OK, 12346},  // 12345.6 units of 1/10000, rounded
      {R8(1e15), VT_CY, kOverflow},
      {Int(VT_CY, 25000), VT_I4, S_OK, 2}, {Int(VT_CY, 35000), VT_I4, S_OK, 4}, {Int(VT_CY, -25000), VT_I4, S_OK, -2},
      {Int(VT_CY, 15001), VT_I4, S_OK, 2}, {Int(VT_CY, -5000), VT_I4, S_OK, 0},
      // VARIANT_TRUE is -1, its bits kept in unsigned types; any non-zero number is true.
      {True(), VT_I1, S_OK, -1}, {True(), VT_UI1, S_OK, 255}, {True(), VT_I2, S_OK, -1},
      {True(), VT_UI2, S_OK, 65535}, {True(), VT_I4, S_OK, -1}, {True(), VT_UI4, S_OK, 4294967295.0L},
      {True(), VT_I8, S_OK, -1}, {True(), VT_UI8, S_OK, 18446744073709551615.0L}, {True(), VT_R8, S_OK, -1},
      {Int(VT_BOOL, VARIANT_FALSE), VT_UI1, S_OK, 0},
      {R8(0.0), VT_BOOL, S_OK, VARIANT_FALSE}, {R8(-0.0), VT_BOOL, S_OK, VARIANT_FALSE},
      {R8(0.4), VT_BOOL, S_OK, VARIANT_TRUE}, {R8(-1.0), VT_BOOL, S_OK, VARIANT_TRUE},
      // Empty reads as 0; null converts to nothing else; unsupported types.
      {Int(VT_EMPTY), VT_I4, S_OK, 0}, {Int(VT_EMPTY), VT_R8, S_OK, 0}, {Int(VT_EMPTY), VT_BOOL, S_OK, VARIANT_FALSE},
      {Int(VT_NULL), VT_I4, kMismatch}, {Int(VT_NULL), VT_BSTR, kMismatch}, {Int(VT_NULL), VT_NULL, S_OK, NAN},
      {R8(1.0), VT_EMPTY, S_OK, NAN}, {R8(1.0), VT_NULL, S_OK, NAN}, {R8(1.0), VT_DISPATCH, kMismatch},
      {R8(1.0), VT_DECIMAL, kBadType}, {R8(1.0), VT_VOID, kBadType}, {R8(1.0), VARTYPE(VT_ARRAY | VT_UI1), kMismatch},
      {R8(1.0, VT_DATE), VT_BSTR, kBadType},  // date text is not supported by this layer
      {R8(1.0, VT_DATE), VT_I4, S_OK, 1},
  };
  ExpectChanges(rows);
}


TEST(ChangeType, TextToNumbersAtEveryBoundary) {
  ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  Change rows[] = {
      {Text(u"99999999999999999999999"), VT_UI8, kOverflow},
      // The exact decimal value is rounded half to even, not a double.
      {Text(u"0.5"), VT_I4, S_OK, 0}, {Text(u"1.5"), VT_I4, S_OK, 2}, {Text(u"2.5"), VT_I4, S_OK, 2},
      {Text(u"-2.5"), VT_I4, S_OK, -2}, {Text(u"2.5000000000000000000001"), VT_I4, S_OK, 3},
      {Text(u"-0.5"), VT_UI1, S_OK, 0}, {Text(u"-0.51"), VT_UI1, kOverflow}, {Text(u"127.5"), VT_I1, kOverflow},
      {Text(u"-128.5"), VT_I1, S_OK, -128}, {Text(u"1e3"), VT_I2, S_OK, 1000}, {Text(u"1.5e1"), VT_I2, S_OK, 15},
      {Text(u"2.5e-1"), VT_I2, S_OK, 0}, {Text(u"000000000000000000000000042"), VT_I1, S_OK, 42},
      {Text(u"1e999999999999"), VT_I4, kOverflow}, {Text(u"1e-999999999999"), VT_I4, S_OK, 0},
      // Blanks around the number, signs, parentheses.
      {Text(u"\t-7\r\n"), VT_I4, S_OK, -7}, {Text(u"+5"), VT_I4, S_OK, 5}, {Text(u"- 5"), VT_I4, S_OK, -5},
      {Text(u"5-"), VT_I4, S_OK, -5}, {Text(u"5 +"), VT_I4, S_OK, 5}, {Text(u"(5)"), VT_I4, S_OK, -5},
      {Text(u"\u00A08\u00A0"), VT_I4, S_OK, 8},
      // VB hexadecimal and octal: the digits fill the target's bits.
      {Text(u"&HFF"), VT_I4, S_OK, 255}, {Text(u"&hff"), VT_UI1, S_OK, 255}, {Text(u"&HFF"), VT_I1, S_OK, -1},
      {Text(u"&H10000"), VT_I2, kOverflow}, {Text(u"&O17"), VT_I4, S_OK, 15},
      {Text(u"&HFFFFFFFFFFFFFFFF"), VT_I8, S_OK, -1}, {Text(u"&H10000000000000000"), VT_UI8, kOverflow},
      // Reals, currency.
      {Text(u"1.5"), VT_R8, S_OK, 1.5}, {Text(u" -0.25 "), VT_R8, S_OK, -0.25}, {Text(u".5"), VT_R8, S_OK, 0.5},
      {Text(u"5."), VT_R8, S_OK, 5.0}, {Text(u"1E3"), VT_R8, S_OK, 1000.0}, {Text(u"1e-3"), VT_R8, S_OK, 0.001},
      {Text(u"1e-400"), VT_R8, S_OK, 0.0}, {Text(u"21.5"), VT_R8, S_OK, 21.5}, {Text(u"&H10"), VT_R8, S_OK, 16.0},
      {Text(u"0.1000000000000000055511151231257827021181583404541015625"), VT_R8, S_OK, 0.1},
      {Text(u"17976931348623157" + std::u16string(292, u'0')), VT_R8, S_OK, 1.7976931348623157e308},  // DBL_MAX
      {Text(u"1e309"), VT_R8, kOverflow}, {Text(u"3.5e38"), VT_R4, kOverflow},
      {Text(u"922337203685477.5808"), VT_CY, kOverflow},
      {Text(u"-922337203685477.5808"), VT_CY, S_OK, static_cast<long double>(INT64_MIN)},
      // To VT_BOOL: the words in any case, "#...#" exactly, untrimmed words, no yes/no.
      {Text(u"True"), VT_BOOL, S_OK, VARIANT_TRUE}, {Text(u"tRUE"), VT_BOOL, S_OK, VARIANT_TRUE},
      {Text(u"false"), VT_BOOL, S_OK, VARIANT_FALSE}, {Text(u"#TRUE#"), VT_BOOL, S_OK, VARIANT_TRUE},
      {Text(u"#FALSE#"), VT_BOOL, S_OK, VARIANT_FALSE}, {Text(u"0"), VT_BOOL, S_OK, VARIANT_FALSE},
      {Text(u"-1"), VT_BOOL, S_OK, VARIANT_TRUE}, {Text(u"0.1"), VT_BOOL, S_OK, VARIANT_TRUE},
      {Text(u" 0 "), VT_BOOL, S_OK, VARIANT_FALSE}, {Text(u"#True#"), VT_BOOL, kMismatch},
      {Text(u" True"), VT_BOOL, kMismatch}, {Text(u"Yes"), VT_BOOL, kMismatch}, {Text(u""), VT_BOOL, kMismatch},
      {Text(u"1e999"), VT_BOOL, kOverflow},
      // No numbers; a null BSTR is the empty text.
      {Text(u""), VT_I4, kMismatch}, {Text(u"   "), VT_I4, kMismatch}, {Text(u"1x"), VT_I4, kMismatch},
      {Text(u"x1"), VT_R8, kMismatch}, {Text(u"1 2"), VT_I4, kMismatch}, {Text(u"1e"), VT_R8, kMismatch},
      {Text(u"1e+"), VT_R8, kMismatch}, {Text(u"."), VT_R8, kMismatch}, {Text(u"-"), VT_I4, kMismatch},
      {Text(u"-5-"), VT_I4, kMismatch}, {Text(u"+-5"), VT_I4, kMismatch}, {Text(u"()"), VT_I4, kMismatch},
      {Text(u"(5"), VT_I4, kMismatch}, {Text(u"1.2.3"), VT_R8, kMismatch}, {Text(u"0x10"), VT_I4, kMismatch},
      {Text(u"&H"), VT_I4, kMismatch}, {Text(u"-&H1"), VT_I4, kMismatch}, {Text(u"&O8"), VT_I4, kMismatch},
      {Text(u"nan"), VT_R8, kMismatch}, {Text(u"inf"), VT_R8, kMismatch},
      {Text(u"1,000"), VT_I4, kMismatch},   // no thousands separator in "C"
      {Text(u"\uFF11"), VT_I4, kMismatch},  // full-width digit
      {Int(VT_BSTR), VT_R8, kMismatch},
  };
  ExpectChanges(rows);
}


// VT_R8 with up to fifteen significant digits, VT_R4 with seven; currency
// with up to four decimals; VT_BOOL as a number unless VARIANT_ALPHABOOL.
TEST(ChangeType, NumbersToText) {
  const struct Row {
    mutable Var source;
    std::u16string text;
    USHORT flags = 0;
  } rows[] = {
      {R8(0.0), u"0"}, {R8(-0.0), u"0"},  // never "-0"
      {R8(-2.5), u"-2.5"}, {R8(0.1), u"0.1"}, {R8(1.0 / 3.0), u"0.333333333333333"},
      {R8(999999999999999.0), u"999999999999999"}, {R8(1e15), u"1E+15"},
      {R8(1234567890123456.0), u"1.23456789012346E+15"}, {R8(0.0001), u"0.0001"}, {R8(0.00001), u"1E-05"},
      {R8(1e100), u"1E+100"}, {R8(1.7976931348623157e308), u"1.79769313486232E+308"}, {R8(100.0), u"100"},
      {R8(0.1, VT_R4), u"0.1"}, {R8(654322.23456, VT_R4), kSystemLayer ? u"654322.3" : u"654322.2"}  /* 654322.25: Wine rounds the half up */, {R8(16777216.0, VT_R4), u"1.677722E+07"},
      {Int(VT_I1, -128), u"-128"}, {Int(VT_UI1, 255), u"255"}, {Int(VT_I2, -32768), u"-32768"},
      {Int(VT_UI2, 65535), u"65535"}, {Int(VT_I4, INT32_MIN), u"-2147483648"}, {Int(VT_UI4, UINT32_MAX), u"4294967295"},
      {Int(VT_I8, INT64_MIN), u"-9223372036854775808"}, {Int(VT_UI8, -1), u"18446744073709551615"},
      {Int(VT_CY, 15000), u"1.5"}, {Int(VT_CY, -15000), u"-1.5"}, {Int(VT_CY, 9), u"0.0009"}, {Int(VT_CY, 10000), u"1"},
      {Int(VT_CY, INT64_MAX), u"922337203685477.5807"}, {Int(VT_EMPTY), u""},
      {Int(VT_BOOL, VARIANT_TRUE), u"-1"}, {Int(VT_BOOL, VARIANT_TRUE), u"True", VARIANT_ALPHABOOL},
      {Int(VT_BOOL, VARIANT_FALSE), u"0"}, {Int(VT_BOOL, VARIANT_FALSE), u"False", VARIANT_ALPHABOOL},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Describe(row.source.v) + " flags " + std::to_string(row.flags));
    Var result;
    ASSERT_EQ(VariantChangeType(&result, &row.source, row.flags, VT_BSTR), S_OK);
    ASSERT_EQ(result.v.vt, VT_BSTR);
    EXPECT_NE(result.v.bstrVal, nullptr);
    EXPECT_EQ(AsText(result.v), row.text);
  }
}


TEST(ChangeType, NullArgumentsAndByrefSources) {
  Var number = R8(1.0), result;
  // The emulation answers E_INVALIDARG; Wine's oleaut32 reads through the nulls.
  if (!kSystemLayer) {
    EXPECT_EQ(VariantChangeType(nullptr, &number, 0, VT_I4), E_INVALIDARG);
    EXPECT_EQ(VariantChangeType(&result, nullptr, 0, VT_I4), E_INVALIDARG);
  }
  double value = 21.5;
  BSTR text = SysAllocString(u" 42 ");
  Var inner = Text(u"7");
  Change rows[] = {{Int(VT_BYREF | VT_R8), VT_I4, S_OK, 22},
                   {Int(VT_BYREF | VT_R8), VT_R8, S_OK, 21.5},  // the target type, dereferenced
                   {Int(VT_BYREF | VT_BSTR), VT_UI1, S_OK, 42},
                   {Int(VT_BYREF | VT_VARIANT), VT_I2, S_OK, 7}};
  rows[0].source.v.pdblVal = rows[1].source.v.pdblVal = &value;
  rows[2].source.v.pbstrVal = &text;
  rows[3].source.v.pvarVal = &inner.v;
  ExpectChanges(rows);
  EXPECT_EQ(AsText(inner.v), u"7");  // the referenced VARIANT is not touched
  SysFreeString(text);
}

TEST(ChangeType, InPlaceAndFailureLeavesTheDestination) {
  Var value = Text(u"12");
  ASSERT_EQ(VariantChangeType(&value, &value, 0, VT_I4), S_OK);  // frees the text (ASan)
  EXPECT_EQ(std::pair(value.v.vt, value.v.lVal), std::pair(VARTYPE{VT_I4}, LONG{12}));
  Var dest = Int(VT_I4, 7), bad = Text(u"abc");
  EXPECT_EQ(VariantChangeType(&dest, &bad, 0, VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(std::pair(dest.v.vt, dest.v.lVal), std::pair(VARTYPE{VT_I4}, LONG{7}));
  Var text = Text(u"5");
  ASSERT_EQ(VariantChangeType(&text, &text, 0, VT_BSTR), S_OK);  // same type: unchanged
  EXPECT_EQ(AsText(text.v), u"5");
}


#ifndef _WIN32
using vornfmt::automation::NumericSeparators;

TEST(NumberText, DecimalCommaAndThousandsSeparators) {
  const NumericSeparators german{u",", u"."}, english{u".", u","}, french{u",", u"\u00A0"};
  const std::tuple<std::u16string, const NumericSeparators*, bool, double> cases[] = {  // text, read, value
      {u"1,5", &german, true, 1.5}, {u"1.234,5", &german, true, 1234.5}, {u" -0,25 ", &german, true, -0.25},
      {u"1.5", &german, true, 15.0},  // '.' separates thousands there, as on Windows
      {u"1,000", &english, true, 1000.0}, {u"1,000.5", &english, true, 1000.5},
      {u"1,2,3", &english, true, 123.0},  // grouping is not checked
      {u",5", &english, false, 0.0},      // a separator before the first digit
      {u"1.5,0", &english, false, 0.0},   // none after the decimal separator
      {u"1\u00A0000,5", &french, true, 1000.5},
  };
  for (const auto& [text, separators, ok, expected] : cases) {
    vornfmt::automation::ParsedNumber number;
    double value = 0.0;
    const bool read = ParseNumber(text, *separators, number) && ParsedToDouble(number, value);
    EXPECT_EQ(std::pair(read, read ? value : 0.0), std::pair(ok, expected)) << U8(text);
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
  Var text = Text(u"1,5"), number = R8(2.25), result, written;
  const HRESULT read = VariantChangeType(&result, &text, 0, VT_R8);
  const HRESULT write = VariantChangeType(&written, &number, 0, VT_BSTR);
  uselocale(previous);
  freelocale(comma);
  EXPECT_EQ(std::tuple(read, result.v.dblVal), std::tuple(S_OK, 1.5));
  ASSERT_EQ(write, S_OK);
  EXPECT_EQ(AsText(written.v), u"2,25");
}

#endif  // _WIN32

}  // namespace
