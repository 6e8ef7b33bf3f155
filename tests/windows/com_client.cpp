// A Windows automation client of the registered control module: it creates
// the control by its ProgID through the system's COM, finds every member by
// name, calls it through IDispatch::Invoke as script hosts do, and checks
// the registered type library against what the objects answer. It links
// nothing of the module. Prints "N passed, N failed"; fails when any failed.
//
// Run it after `regsvr32 VORNFMT.OCX`, with the shipped catalog as the
// default catalog C:\LonWorks\Types.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "tests/support/automation_client.h"

namespace {

using vornfmt::test::Arg;
using vornfmt::test::Client;
using vornfmt::test::TextOf;

const wchar_t kProgId[] = L"VORNFMT.VornFmtCtrl.1";
const char16_t kPid[] = u"0000000000000000";
// VORNFMTLib and the dispinterface of the type elements.
const GUID kLibrary = {0x72571184, 0x36DA, 0x4FCC, {0x8B, 0xDE, 0xA8, 0x1C, 0x63, 0xE9, 0x65, 0xDD}};
const GUID kTypeElement = {0xB46CF6A5, 0x580E, 0x4BE3, {0xB2, 0xA9, 0x62, 0xD6, 0xD6, 0xB2, 0x0D, 0x9D}};
const GUID kControlInterface = {0x62B00EF3, 0xC1F5, 0x408A, {0xBA, 0xAF, 0xD8, 0x54, 0x1E, 0xC3, 0x5A, 0x27}};

int passed = 0;
int failed = 0;

void Check(bool ok, const char* what) {
  if (ok) {
    ++passed;
  } else {
    ++failed;
    std::printf("FAILED: %s\n", what);
  }
}

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

void CheckText(const VARIANT& v, const std::u16string& expected, const char* what) {
  const std::u16string text = TextOf(v);
  if (text != expected) std::printf("  got \"%s\", expected \"%s\"\n", Narrow(text).c_str(), Narrow(expected).c_str());
  Check(text == expected, what);
}

// The DISPID the registered type library gives `name` in `iface`.
DISPID LibraryId(ITypeLib* library, REFGUID iface, const wchar_t* name) {
  ITypeInfo* info = nullptr;
  DISPID id = DISPID_UNKNOWN;
  if (library && SUCCEEDED(library->GetTypeInfoOfGuid(iface, &info))) {
    std::wstring copy = name;
    LPOLESTR names[] = {copy.data()};
    info->GetIDsOfNames(names, 1, &id);
    info->Release();
  }
  return id;
}

// Every member found by name on the object, with the DISPID the type
// library gives it.
void CheckNames(const Client& object, ITypeLib* library, REFGUID iface, const std::vector<const wchar_t*>& names,
                const char* what) {
  bool same = true;
  for (const wchar_t* name : names) {
    const DISPID byObject = object.Id(reinterpret_cast<const char16_t*>(name));
    const DISPID byLibrary = LibraryId(library, iface, name);
    if (byObject == DISPID_UNKNOWN || byObject != byLibrary) {
      std::printf("  %ls: %ld by the object, %ld by the type library\n", name, static_cast<long>(byObject),
                  static_cast<long>(byLibrary));
      same = false;
    }
  }
  Check(same, what);
}

struct Method {
  Client object;
  DISPID Id(const char16_t* name) const { return object.Id(name); }
  HRESULT Call(const char16_t* name, std::vector<Arg> args, Arg& result) const {
    return object.Call(Id(name), std::move(args), result);
  }
};

IDispatch* Element(const Method& control, const char16_t* getter, Arg first) {
  Arg result;
  if (FAILED(control.Call(getter, {std::move(first), Arg::Text(kPid), Arg::I2(0)}, result)) ||
      result.v().vt != VT_DISPATCH || !result.v().pdispVal)
    return nullptr;
  IDispatch* element = result.v().pdispVal;
  element->AddRef();
  return element;
}

void ControlMembers(const Method& control, ITypeLib* library) {
  CheckNames(control.object, library, kControlInterface,
             {L"Version", L"GetItem1", L"GetItem2", L"GetItem3", L"TypesCount", L"LocaleId"},
             "the control's members have the type library's DISPIDs");
  Check(control.Id(u"getitem1") == control.Id(u"GetItem1"), "names are found whatever their case");
  Check(control.Id(u"NoSuchMember") == DISPID_UNKNOWN, "an unknown name is refused");

  Arg version;
  Check(control.Call(u"Version", {}, version) == S_OK && version.v().vt == VT_BSTR, "Version answers a text");
  Arg count;
  Check(control.Call(u"TypesCount", {Arg::Text(kPid), Arg::I2(0), Arg::I2(0)}, count) == S_OK &&
            count.v().vt == VT_I2 && count.v().iVal == 590,
        "TypesCount counts the 590 standard types of the default catalog");

  Arg locale;
  control.Call(u"LocaleId", {}, locale);
  CheckText(locale.v(), u"enu", "LocaleId starts as enu");
  Check(control.object.Put(control.Id(u"LocaleId"), Arg::Text(u"deu")) == S_OK, "LocaleId can be set");
  control.Call(u"LocaleId", {}, locale);
  CheckText(locale.v(), u"deu", "LocaleId answers what was set");
  EXCEPINFO exception{};
  Check(control.object.Put(control.Id(u"Version"), Arg::Text(u"2"), &exception) == DISP_E_EXCEPTION &&
            exception.scode == CTL_E_SETNOTSUPPORTED,
        "Version cannot be set");
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  control.object.Put(control.Id(u"LocaleId"), Arg::Text(u"enu"));

  Arg none;
  Check(control.Call(u"GetItem1", {Arg::Text(u"SNVT_nothing"), Arg::Text(kPid), Arg::I2(0)}, none) == S_OK &&
            none.v().vt == VT_DISPATCH && !none.v().pdispVal,
        "GetItem1 of an unknown type answers a null dispatch");
}

void ElementMembers(const Method& control, ITypeLib* library) {
  IDispatch* byName = Element(control, u"GetItem1", Arg::Text(u"SNVT_switch"));
  Check(byName != nullptr, "GetItem1 gives SNVT_switch");
  if (!byName) return;
  const Method e{Client(byName)};
  CheckNames(e.object, library, kTypeElement,
             {L"SubfieldsCount", L"Index", L"selector", L"GetSubIndexByName", L"FormatVT", L"GetValueVT", L"WriteVT",
              L"GetBounds", L"Canonical", L"Length", L"Name", L"MeasurementSystem"},
             "the element's members have the type library's DISPIDs");

  Arg r;
  Check(e.Call(u"SubfieldsCount", {}, r) == S_OK && r.v().iVal == 2, "SNVT_switch has two subfields");
  Check(e.Call(u"Index", {}, r) == S_OK && r.v().iVal == 95, "SNVT_switch is network variable type 95");
  Check(e.Call(u"Length", {Arg::I2(-1)}, r) == S_OK && r.v().iVal == 2, "SNVT_switch is two bytes long");
  e.Call(u"Name", {Arg::I2(0)}, r);
  CheckText(r.v(), u"value", "subfield 0 is named value");
  e.Call(u"Name", {Arg::I2(1)}, r);
  CheckText(r.v(), u"state", "subfield 1 is named state");

  // FormatVT into a VARIANT by reference, as script hosts pass it.
  Arg data = Arg::Bytes({0xC8, 0x01});
  VARIANT text;
  VariantInit(&text);
  Check(e.Call(u"FormatVT", {Arg::I2(2), Arg::Borrowed(data.v()), Arg::I2(VT_BSTR), Arg::RefTo(&text), Arg::I2(-1)},
               r) == S_OK && r.v().boolVal == VARIANT_TRUE,
        "FormatVT formats the whole type");
  CheckText(text, u"100 1", "C8 01 is the text 100 1");
  VariantClear(&text);
  Check(e.Call(u"FormatVT", {Arg::I2(2), Arg::Borrowed(data.v()), Arg::I2(VT_R8), Arg::RefTo(&text), Arg::I2(0)},
               r) == S_OK && text.vt == VT_R8 && text.dblVal == 100,
        "FormatVT gives subfield 0 as the number 100");
  VariantClear(&text);

  // WriteVT writes into the caller's array.
  Check(e.Call(u"WriteVT", {Arg::I2(2), Arg::Borrowed(data.v()), Arg::Text(u"50.0 1"), Arg::I2(-1)}, r) == S_OK &&
            r.v().boolVal == VARIANT_TRUE && data.ArrayBytes() == std::vector<uint8_t>{0x64, 0x01},
        "WriteVT of 50.0 1 writes 64 01");
  Check(e.Call(u"WriteVT", {Arg::I2(2), Arg::Borrowed(data.v()), Arg::R8(1e9), Arg::I2(0)}, r) == S_OK &&
            r.v().boolVal == VARIANT_FALSE && data.ArrayBytes() == std::vector<uint8_t>{0x64, 0x01},
        "WriteVT of a value beyond the bounds answers false and keeps the bytes");

  // Outs by reference: to their own type, and to VARIANTs as scripts pass.
  double low = 11, high = 22;
  Check(e.Call(u"GetBounds", {Arg::I2(0), Arg::RefTo(&low), Arg::RefTo(&high)}, r) == S_OK &&
            r.v().boolVal == VARIANT_TRUE && low == 0 && high == 100,
        "GetBounds of subfield 0 is 0 to 100");
  VARIANT lowVariant, highVariant, subindex;
  VariantInit(&lowVariant);
  VariantInit(&highVariant);
  VariantInit(&subindex);
  Check(e.Call(u"GetBounds", {Arg::I2(1), Arg::RefTo(&lowVariant), Arg::RefTo(&highVariant)}, r) == S_OK &&
            lowVariant.vt == VT_R8 && lowVariant.dblVal == -1 && highVariant.vt == VT_R8 && highVariant.dblVal == 1,
        "GetBounds fills empty VARIANTs by reference");
  Check(e.Call(u"GetSubIndexByName", {Arg::Text(u"state"), Arg::RefTo(&subindex)}, r) == S_OK &&
            r.v().boolVal == VARIANT_TRUE && subindex.vt == VT_I2 && subindex.iVal == 1,
        "GetSubIndexByName finds state at 1");

  UINT argumentError = 0;
  Check(e.object.Invoke(e.Id(u"Length"), DISPATCH_METHOD | DISPATCH_PROPERTYGET, {Arg::Text(u"abc")}, &r.v(),
                        &argumentError) == DISP_E_TYPEMISMATCH && argumentError == 0,
        "text for a short is a type mismatch at argument 0");
  Check(e.object.Invoke(e.Id(u"Length"), DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &r.v()) == DISP_E_BADPARAMCOUNT,
        "a missing argument is a bad count");
  byName->Release();

  IDispatch* byIndex = Element(control, u"GetItem2", Arg::I2(105));
  Arg name;
  Check(byIndex && Client(byIndex).Call(Client(byIndex).Id(u"Name"), {Arg::I2(-1)}, name) == S_OK &&
            TextOf(name.v()) == u"SNVT_temp_p",
        "GetItem2 of 105 gives SNVT_temp_p");
  if (byIndex) byIndex->Release();
  IDispatch* property = Element(control, u"GetItem3", Arg::I2(162));
  Check(property && Client(property).Call(Client(property).Id(u"Name"), {Arg::I2(-1)}, name) == S_OK &&
            TextOf(name.v()) == u"SCPTdefScale",
        "GetItem3 of 162 gives SCPTdefScale");
  if (property) property->Release();
}

// The module's resources as Windows reads them from the registered file.
void ModuleResources(REFCLSID clsid) {
  wchar_t key[80] = L"CLSID\\";
  StringFromGUID2(clsid, key + 6, 40);
  wcscat(key, L"\\InprocServer32");
  wchar_t file[MAX_PATH] = L"";
  LONG size = sizeof file;
  Check(RegQueryValueW(HKEY_CLASSES_ROOT, key, file, &size) == ERROR_SUCCESS, "InprocServer32 names the module");
  HMODULE module = LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  Check(module != nullptr, "the module loads as a data file");
  if (!module) return;
  wchar_t text[64] = L"";
  LoadStringW(module, 1, text, 64);
  Check(std::wstring(text) == L"VornFmt Control", "string 1 of the STRINGTABLE is the control's name");
  LoadStringW(module, 103, text, 64);
  Check(std::wstring(text) == L"Found non-hexadecimal digit.", "string 103 is a value-error message");
  Check(FindResourceW(module, MAKEINTRESOURCEW(1), L"TYPELIB") != nullptr, "the type library is resource TYPELIB 1");
  const struct {
    int id;
    LONG width, height;
  } bitmaps[] = {{1, 16, 15}, {205, 32, 16}};
  for (const auto& b : bitmaps) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(b.id), IMAGE_BITMAP, 0, 0, 0));
    BITMAP info{};
    Check(bitmap && GetObjectW(bitmap, sizeof info, &info) == sizeof info && info.bmWidth == b.width &&
              info.bmHeight == b.height,
          b.id == 1 ? "bitmap 1 is the 16 x 15 toolbox image" : "bitmap 205 holds the two 16 x 16 field states");
    if (bitmap) DeleteObject(bitmap);
  }
  FreeLibrary(module);
}

}  // namespace

int main() {
  if (FAILED(CoInitialize(nullptr))) {
    std::printf("COM could not be initialised\n");
    return 2;
  }
  CLSID clsid{};
  Check(CLSIDFromProgID(kProgId, &clsid) == S_OK, "the ProgID is registered");
  IDispatch* object = nullptr;
  const HRESULT created =
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object));
  Check(created == S_OK && object, "CoCreateInstance creates the control");
  ModuleResources(clsid);
  ITypeLib* library = nullptr;
  Check(LoadRegTypeLib(kLibrary, 1, 0, LOCALE_NEUTRAL, &library) == S_OK, "the type library is registered and loads");
  if (object) {
    const Method control{Client(object)};
    ControlMembers(control, library);
    ElementMembers(control, library);
    Check(object->Release() == 0, "the control goes with its last reference");
  }
  if (library) library->Release();
  CoFreeUnusedLibraries();
  CoUninitialize();
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed > 0 ? 1 : 0;
}
