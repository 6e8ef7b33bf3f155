// IDispatch::Invoke with hostile DISPPARAMS, on the control and on a type
// element over the shipped catalog: any DISPID, flags, counts, named
// arguments and argument VARIANTs (numbers, texts, byte arrays, omitted
// markers, references to values, to VARIANTs and null references). Every
// call must answer; none may crash, leak or write outside what it was given.
//
// Input: byte 0 picks the object and flags, byte 1 the DISPID, byte 2 the
// argument count (0..7), byte 3 the named count; then per argument a kind
// byte and up to 8 value bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "control/automation/automation_objects.h"
#include "convert/formatter_assembly.h"
#include "platform/code_page.h"

namespace {

struct Fixture {
  std::unique_ptr<vornfmt::Formatter> formatter = vornfmt::AssembleFormatter();
  IDispatch* control = nullptr;
  IDispatch* element = nullptr;
  Fixture() {
    std::string source = __FILE__;  // .../fuzz/dispatch_invoke_fuzz.cpp
    source.resize(source.rfind('/'));
    source.resize(source.rfind('/'));
    formatter->Engine().OpenCatalog(vornfmt::codepage::Utf8ToUtf16(source + "/resources/catalog"));
    control = new vornfmt::VornFmtCtrlObject();
    element = vornfmt::NewTypeElementObject(vornfmt::CTypeElement::CreateByName(u"SNVT_switch", u"0", 0));
  }
};

Fixture& TheFixture() {
  static Fixture fixture;
  return fixture;
}

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint64_t Bytes(int n) {
    uint64_t value = 0;
    for (int i = 0; i < n; ++i) value = value << 8 | Byte();
    return value;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Fixture& fixture = TheFixture();
  Reader in(data, size);
  const uint8_t pick = in.Byte();
  IDispatch* object = (pick & 1) && fixture.element ? fixture.element : fixture.control;
  const WORD flags = static_cast<WORD>(pick >> 1 & 0x0F);
  const DISPID id = static_cast<int8_t>(in.Byte());
  const UINT count = in.Byte() % 8;
  const UINT named = std::min<UINT>(in.Byte() % 4, count);

  // The storage arguments refer to, and the arguments themselves.
  SHORT shorts[8] = {};
  DOUBLE doubles[8] = {};
  VARIANT targets[8];
  VARIANT args[8];
  SAFEARRAY* arrays[8] = {};
  for (UINT i = 0; i < 8; ++i) {
    VariantInit(&targets[i]);
    VariantInit(&args[i]);
  }
  for (UINT i = 0; i < count; ++i) {
    const uint8_t kind = in.Byte();
    const uint64_t value = in.Bytes(kind & 0x08 ? 8 : 2);
    VARIANT& a = args[i];
    switch (kind % 12) {
      case 0: break;  // VT_EMPTY
      case 1: a.vt = VT_I2, a.iVal = static_cast<SHORT>(value); break;
      case 2: a.vt = VT_I4, a.lVal = static_cast<LONG>(value); break;
      case 3: a.vt = VT_R8, std::memcpy(&a.dblVal, &value, 8); break;
      case 4: {
        const char16_t text[4] = {static_cast<char16_t>(value), static_cast<char16_t>(value >> 16),
                                  static_cast<char16_t>(value >> 32), 0};
        a.vt = VT_BSTR, a.bstrVal = SysAllocString(text);
        break;
      }
      case 5: {
        arrays[i] = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(value % 40));
        a.vt = VT_ARRAY | VT_UI1, a.parray = arrays[i];
        break;
      }
      case 6: a.vt = VT_ERROR, a.scode = DISP_E_PARAMNOTFOUND; break;
      case 7: a.vt = VT_BYREF | VT_I2, a.piVal = value & 1 ? nullptr : &shorts[i]; break;
      case 8: a.vt = VT_BYREF | VT_R8, a.pdblVal = value & 1 ? nullptr : &doubles[i]; break;
      case 9: {
        targets[i].vt = VT_I2;  // a VARIANT by reference, holding a short
        a.vt = VT_BYREF | VT_VARIANT, a.pvarVal = value & 1 ? nullptr : &targets[i];
        break;
      }
      case 10: a.vt = VT_BOOL, a.boolVal = value & 1 ? VARIANT_TRUE : VARIANT_FALSE; break;
      case 11: a.vt = VT_BYREF | VT_ARRAY | VT_UI1, a.pparray = &arrays[i]; break;
    }
  }
  DISPID names[8];
  for (UINT j = 0; j < named; ++j) names[j] = static_cast<int8_t>(in.Byte()) % 8 - 3;  // -3 is DISPID_PROPERTYPUT
  DISPPARAMS params{args, named ? names : nullptr, count, named};
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO exception{};
  UINT argumentError = 0;
  object->Invoke(id, IID_NULL, 0, flags, &params, &result, &exception, &argumentError);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  VariantClear(&result);
  for (UINT i = 0; i < 8; ++i) {
    VariantClear(&targets[i]);
    if (args[i].vt == (VT_ARRAY | VT_UI1)) args[i].vt = VT_EMPTY;  // the array is freed below
    VariantClear(&args[i]);
    SafeArrayDestroy(arrays[i]);
  }
  return 0;
}
