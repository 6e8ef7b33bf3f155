// A host program: it registers the control module into a registry of its
// own, creates the control by its ProgID and calls every member of both
// interfaces through IDispatch, by DISPID and by name, with the argument
// forms automation clients send. It links nothing of the module: only the
// platform's COM and registry (vornfmt_winapi), as a Windows host links only
// the system's. The module reads no configuration here, so the catalog is
// the default C:\LonWorks\Types: the shipped standard catalog. The host
// has no display, so the module shows no dialog.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/automation/oleauto.h"
#include "platform/registry/emulation/hive_store.h"
#include "platform/registry/winreg.h"
#include "tests/host/memory_stream.h"
#include "tests/support/automation_client.h"
#include "tests/support/temp_registry.h"

namespace {

using vornfmt::test::Arg;
using vornfmt::test::Client;
using vornfmt::test::MemoryStream;
using vornfmt::test::TempRegistry;
using vornfmt::test::TextOf;

constexpr char16_t kPid[] = u"0000000000000000";
constexpr char16_t kControlProgId[] = u"VORNFMT.VornFmtCtrl.1";
constexpr char16_t kPageProgId[] = u"VORNFMT.VornFmtPropPage.1";

// A registry as a machine has it before the module comes: the standard
// keys, and a class of somebody else's.
constexpr char kPristineClasses[] =
    "Windows Registry Editor Version 5.00\n\n"
    "[HKEY_CLASSES_ROOT\\CLSID]\n\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{00000000-1111-2222-3333-444444444444}]\n@=\"Other\"\n\n"
    "[HKEY_CLASSES_ROOT\\Interface]\n\n"
    "[HKEY_CLASSES_ROOT\\TypeLib]\n\n";

using Entry = HRESULT (*)();

// The module, loaded as the registration tool loads it.
struct Module {
  void* handle = nullptr;
  Entry Get(const char* name) const { return reinterpret_cast<Entry>(dlsym(handle, name)); }
  HRESULT Register() const { return Get("DllRegisterServer")(); }
  HRESULT Unregister() const { return Get("DllUnregisterServer")(); }
  HRESULT CanUnloadNow() const { return Get("DllCanUnloadNow")(); }
};

class Host : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const char* display : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) unsetenv(display);
    registry_ = new TempRegistry();
    registry_->Write("HKEY_CLASSES_ROOT", kPristineClasses);
    module_.handle = dlopen(VORNFMT_MODULE_FILE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module_.handle, nullptr) << dlerror();
    ASSERT_EQ(module_.Register(), S_OK);
  }
  static void TearDownTestSuite() {
    EXPECT_EQ(module_.Unregister(), S_OK);
    EXPECT_EQ(registry_->Read("HKEY_CLASSES_ROOT"), kPristineClasses);
    if (module_.handle) dlclose(module_.handle);
    CoFreeUnusedLibraries();
    delete registry_;
  }

  static Client NewControl() { return Client(vornfmt::test::CreateByProgId(kControlProgId)); }
  void SetUp() override {
    control_ = NewControl();
    ASSERT_NE(control_.object(), nullptr);
  }

  void TearDown() override {
    // Every test leaves the language as it found it, and holds nothing.
    control_.Put(control_.Id(u"LocaleId"), Arg::Text(u"enu"));
    for (IDispatch* element : elements_) EXPECT_EQ(element->Release(), 0u);
    EXPECT_EQ(control_.object()->Release(), 0u);
    EXPECT_EQ(module_.CanUnloadNow(), S_OK) << "an object of the test is still alive";
  }

  // What a call that must succeed answers.
  static Arg Answer(const Client& client, DISPID id, std::vector<Arg> args,
                    WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET) {
    Arg result;
    EXPECT_EQ(client.Call(id, std::move(args), result, flags), S_OK) << "DISPID " << id;
    return result;
  }
  static VARIANT_BOOL Bool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

  // GetItem1 on the control; the element is released by TearDown.
  Client Element(const std::u16string& type) {
    Arg result = Answer(control_, 2, {Arg::Text(type), Arg::Text(kPid), Arg::I2(0)});
    EXPECT_EQ(result.v().vt, VT_DISPATCH);
    IDispatch* element = result.v().pdispVal;
    EXPECT_NE(element, nullptr) << "no element for the shipped type";
    if (element) {
      element->AddRef();  // the test's own reference; result releases its copy
      elements_.push_back(element);
    }
    return Client(element);
  }

  static TempRegistry* registry_;
  static Module module_;
  Client control_;
  std::vector<IDispatch*> elements_;
};

TempRegistry* Host::registry_ = nullptr;
Module Host::module_;

// ---- registration and activation --------------------------------------------------

TEST_F(Host, RegistrationWritesTheClassesAndUnregisteringRemovesExactlyThat) {
  const std::string registered = registry_->Read("HKEY_CLASSES_ROOT");
  for (const std::string key : {
           "[HKEY_CLASSES_ROOT\\VORNFMT.VornFmtCtrl.1\\CLSID]\n@=\"{9B71C9E5-F852-488F-B457-D34352877ED1}\"",
           "[HKEY_CLASSES_ROOT\\CLSID\\{9B71C9E5-F852-488F-B457-D34352877ED1}\\InprocServer32]\n@=\"" VORNFMT_MODULE_FILE
           "\"\n\"ThreadingModel\"=\"Apartment\"",
           "[HKEY_CLASSES_ROOT\\CLSID\\{9B71C9E5-F852-488F-B457-D34352877ED1}\\MiscStatus\\1]\n@=\"132241\"",
           "[HKEY_CLASSES_ROOT\\CLSID\\{9B71C9E5-F852-488F-B457-D34352877ED1}]\n@=\"VornFmt Control\"",
           "[HKEY_CLASSES_ROOT\\VORNFMT.VornFmtPropPage.1]\n@=\"VornFmt Property Page\"",
           "[HKEY_CLASSES_ROOT\\TypeLib\\{72571184-36DA-4FCC-8BDE-A81C63E965DD}\\1.0]\n@=\"VornFmt ActiveX Control module\"",
           "[HKEY_CLASSES_ROOT\\TypeLib\\{72571184-36DA-4FCC-8BDE-A81C63E965DD}\\1.0\\FLAGS]\n@=\"2\"",
           "[HKEY_CLASSES_ROOT\\Interface\\{B46CF6A5-580E-4BE3-B2A9-62D6D6B20D9D}]\n@=\"ITypeElement\"",
       })
    EXPECT_NE(registered.find(key), std::string::npos) << key;
  EXPECT_EQ(module_.Unregister(), S_OK);
  EXPECT_EQ(registry_->Read("HKEY_CLASSES_ROOT"), kPristineClasses);
  EXPECT_EQ(module_.Unregister(), S_OK) << "what is gone already is no failure";
  EXPECT_EQ(module_.Register(), S_OK);
  EXPECT_EQ(registry_->Read("HKEY_CLASSES_ROOT"), registered);
}

TEST_F(Host, RegistrationAnswersTheStandardCodesWhenTheRegistryRefuses) {
  const std::string registered = registry_->Read("HKEY_CLASSES_ROOT");
  struct Case {
    const char16_t* refusedBelow;
    bool unregister;
    HRESULT expected;
  } cases[] = {
      {u"HKEY_CLASSES_ROOT\\TypeLib", false, SELFREG_E_TYPELIB},
      {u"HKEY_CLASSES_ROOT\\Interface", false, SELFREG_E_TYPELIB},
      {u"HKEY_CLASSES_ROOT\\CLSID", false, SELFREG_E_CLASS},
      {u"HKEY_CLASSES_ROOT\\VORNFMT.", false, SELFREG_E_CLASS},
      {u"HKEY_CLASSES_ROOT\\TypeLib", true, SELFREG_E_TYPELIB},
      {u"HKEY_CLASSES_ROOT\\CLSID", true, SELFREG_E_CLASS},
  };
  for (const Case& c : cases) {
    const std::u16string prefix = c.refusedBelow;
    auto previous = vornfmt::registry::SetWriteHookForTesting(
        [prefix](vornfmt::registry::WriteStage, std::u16string_view path) { return path.substr(0, prefix.size()) != prefix; });
    EXPECT_EQ(c.unregister ? module_.Unregister() : module_.Register(), c.expected)
        << std::string(prefix.begin(), prefix.end());
    vornfmt::registry::SetWriteHookForTesting(previous);
    EXPECT_EQ(module_.Register(), S_OK);
  }
  EXPECT_EQ(registry_->Read("HKEY_CLASSES_ROOT"), registered);
}

TEST_F(Host, TheControlIsCreatedByItsProgIdAndAnswersItsInterfaces) {
  IUnknown* unknown = nullptr;
  EXPECT_EQ(control_.object()->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(unknown, static_cast<IUnknown*>(control_.object()));
  EXPECT_EQ(unknown->Release(), 1u);
  IClassFactory* factory = reinterpret_cast<IClassFactory*>(this);
  EXPECT_EQ(control_.object()->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&factory)), E_NOINTERFACE);
  EXPECT_EQ(factory, nullptr);
  UINT count = 7;
  EXPECT_EQ(control_.object()->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 0u);

  // The property page is a class of the module too; TypeElement is not.
  CLSID page{};
  ASSERT_EQ(CLSIDFromProgID(kPageProgId, &page), S_OK);
  IUnknown* pageObject = nullptr;
  EXPECT_EQ(CoCreateInstance(page, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&pageObject)),
            S_OK);
  ASSERT_NE(pageObject, nullptr);
  EXPECT_EQ(pageObject->Release(), 0u);
  const CLSID typeElement = {0x6EAAF820, 0x67A8, 0x401A, {0xAD, 0xE8, 0x31, 0xA9, 0xF3, 0x44, 0x62, 0x56}};
  IClassFactory* none = nullptr;
  auto getClassObject = reinterpret_cast<HRESULT (*)(REFCLSID, REFIID, void**)>(dlsym(module_.handle, "DllGetClassObject"));
  EXPECT_EQ(getClassObject(typeElement, IID_IClassFactory, reinterpret_cast<void**>(&none)), CLASS_E_CLASSNOTAVAILABLE);

  // A class factory held, or locked, keeps the module.
  CLSID control{};
  ASSERT_EQ(CLSIDFromProgID(kControlProgId, &control), S_OK);
  ASSERT_EQ(CoGetClassObject(control, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
            S_OK);
  EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(this), IID_IDispatch, reinterpret_cast<void**>(&unknown)),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory->Release();
  EXPECT_EQ(module_.CanUnloadNow(), S_FALSE);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
}

// ---- _DVornFmt ---------------------------------------------------------------------------

TEST_F(Host, NamesGiveTheDispidsOfTheTypeLibraryWhateverTheirCase) {
  struct Case {
    const char16_t* name;
    DISPID id;
  } control[] = {{u"Version", 1}, {u"getitem1", 2}, {u"GETITEM2", 3}, {u"GetItem3", 4}, {u"TypesCount", 5},
                 {u"localeid", 6}, {u"NoSuchMember", DISPID_UNKNOWN}},
    element[] = {{u"SubfieldsCount", 1}, {u"Index", 2}, {u"Selector", 3}, {u"GetSubIndexByName", 4},
                 {u"formatvt", 5}, {u"GetValueVT", 6}, {u"WriteVT", 7}, {u"GetBounds", 8}, {u"Canonical", 9},
                 {u"Length", 10}, {u"NAME", 11}, {u"MeasurementSystem", 12}, {u"Version", DISPID_UNKNOWN}};
  for (const Case& c : control) EXPECT_EQ(control_.Id(c.name), c.id) << std::string(c.name, c.name + 4);
  Client e = Element(u"SNVT_switch");
  for (const Case& c : element) EXPECT_EQ(e.Id(c.name), c.id) << std::string(c.name, c.name + 4);

  // Parameter names give their positions; an unknown one DISPID_UNKNOWN.
  std::u16string names[] = {u"GetItem1", u"SELECTOR", u"typeName", u"colour"};
  LPOLESTR pointers[] = {reinterpret_cast<LPOLESTR>(names[0].data()), reinterpret_cast<LPOLESTR>(names[1].data()),
                         reinterpret_cast<LPOLESTR>(names[2].data()), reinterpret_cast<LPOLESTR>(names[3].data())};
  DISPID ids[4] = {};
  EXPECT_EQ(control_.object()->GetIDsOfNames(IID_NULL, pointers, 4, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 2);
  EXPECT_EQ(ids[1], 2);
  EXPECT_EQ(ids[2], 0);
  EXPECT_EQ(ids[3], DISPID_UNKNOWN);
  const IID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  EXPECT_EQ(control_.object()->GetIDsOfNames(other, pointers, 1, 0, ids), DISP_E_UNKNOWNINTERFACE);
}

TEST_F(Host, VersionIsAnEmptyTextAndCannotBeSet) {
  Arg version = Answer(control_, 1, {}, DISPATCH_PROPERTYGET);
  ASSERT_EQ(version.v().vt, VT_BSTR);
  EXPECT_NE(version.v().bstrVal, nullptr) << "a new empty BSTR, not null";
  EXPECT_EQ(SysStringLen(version.v().bstrVal), 0u);
  for (DISPID readOnly : {1, 5}) {
    EXCEPINFO exception{};
    EXPECT_EQ(control_.Put(readOnly, Arg::Text(u"1.0"), &exception), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, CTL_E_SETNOTSUPPORTED);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
  }
}

TEST_F(Host, TypesCountAnswersTheTypeFileWhateverTheFlag) {
  struct Case {
    std::vector<Arg> args;
    int16_t expected;
  } cases[] = {
      {{Arg::Text(kPid), Arg::I2(0), Arg::I2(0)}, 590},
      {{Arg::Text(kPid), Arg::I2(0), Arg::I2(1)}, 590},
      {{Arg::Text(kPid), Arg::I4(0), Arg::Text(u"1")}, 590},  // coerced to short
      {{Arg::Text(u"80:00:01:00:00:00:00:00"), Arg::I2(3), Arg::I2(0)}, 0},
  };
  for (Case& c : cases) {
    Arg count = Answer(control_, 5, c.args);
    EXPECT_EQ(count.v().vt, VT_I2);
    EXPECT_EQ(count.v().iVal, c.expected);
  }
}

TEST_F(Host, LocaleIdSetOnOneControlIsSeenByEveryOther) {
  Client other = NewControl();
  ASSERT_NE(other.object(), nullptr);
  EXPECT_EQ(TextOf(Answer(other, 6, {}, DISPATCH_PROPERTYGET).v()), u"enu");
  ASSERT_EQ(control_.Put(6, Arg::Text(u"deu")), S_OK);
  EXPECT_EQ(TextOf(Answer(other, 6, {}, DISPATCH_PROPERTYGET).v()), u"deu");
  // A null text is a failed setting: the text stays.
  ASSERT_EQ(other.Put(6, Arg::NullText()), S_OK);
  EXPECT_EQ(TextOf(Answer(control_, 6, {}, DISPATCH_PROPERTYGET).v()), u"deu");
  EXPECT_EQ(other.object()->Release(), 0u);
}

TEST_F(Host, GetItemsAnswerElementsOrANullDispatch) {
  struct Case {
    DISPID id;
    std::vector<Arg> args;
    const char16_t* name;  // null: no element
  } cases[] = {
      {2, {Arg::Text(u"SNVT_temp_p"), Arg::Text(kPid), Arg::I2(0)}, u"SNVT_temp_p"},
      {2, {Arg::Text(u"SNVT_nothing"), Arg::Text(kPid), Arg::I2(0)}, nullptr},
      {2, {Arg::Text(u""), Arg::Text(kPid), Arg::I2(0)}, nullptr}, {2, {Arg::NullText(), Arg::Text(kPid), Arg::I2(0)}, nullptr},
      {3, {Arg::I2(105), Arg::Text(kPid), Arg::I2(0)}, u"SNVT_temp_p"},
      {3, {Arg::I4(95), Arg::Text(kPid), Arg::I4(0)}, u"SNVT_switch"}, {3, {Arg::I2(9999), Arg::Text(kPid), Arg::I2(0)}, nullptr},
      {4, {Arg::I2(162), Arg::Text(kPid), Arg::I2(0)}, u"SCPTdefScale"}, {4, {Arg::I2(-3), Arg::Text(kPid), Arg::I2(0)}, nullptr},
  };
  for (Case& c : cases) {
    Arg result = Answer(control_, c.id, c.args, DISPATCH_METHOD);
    ASSERT_EQ(result.v().vt, VT_DISPATCH);
    ASSERT_EQ(result.v().pdispVal != nullptr, c.name != nullptr);
    if (c.name) {
      EXPECT_EQ(TextOf(Answer(Client(result.v().pdispVal), 11, {Arg::I2(-1)}).v()), c.name);
    }
  }
}

// The argument checks of the standard dispatch, on the control.
TEST_F(Host, ArgumentsAreCheckedAsTheStandardDispatchChecksThem) {
  struct Case {
    const char* what;
    DISPID id;
    WORD flags;
    std::vector<Arg> args;
    std::vector<DISPID> named;
    HRESULT expected;
    UINT argumentError;  // 0xFFFFFFFF: not set
  } cases[] = {
      {"too few", 5, DISPATCH_METHOD, {Arg::Text(kPid), Arg::I2(0)}, {}, DISP_E_BADPARAMCOUNT, 0xFFFFFFFF},
      {"too many", 5, DISPATCH_METHOD, {Arg::Text(kPid), Arg::I2(0), Arg::I2(0), Arg::I2(0)}, {}, DISP_E_BADPARAMCOUNT, 0xFFFFFFFF},
      {"text for a short", 5, DISPATCH_METHOD, {Arg::Text(kPid), Arg::Text(u"abc"), Arg::I2(0)}, {}, DISP_E_TYPEMISMATCH, 1},
      {"too big for a short", 5, DISPATCH_METHOD, {Arg::Text(kPid), Arg::I4(70000), Arg::I2(0)}, {}, DISP_E_OVERFLOW, 1},
      {"omitted", 5, DISPATCH_METHOD, {Arg::Text(kPid), Arg::I2(0), Arg::Omitted()}, {}, DISP_E_PARAMNOTOPTIONAL, 0},
      {"a method got", 2, DISPATCH_PROPERTYGET, {Arg::Text(u"SNVT_switch"), Arg::Text(kPid), Arg::I2(0)}, {}, DISP_E_MEMBERNOTFOUND, 0xFFFFFFFF},
      {"a method put", 2, DISPATCH_PROPERTYPUT, {Arg::Text(u"x")}, {DISPID_PROPERTYPUT}, DISP_E_MEMBERNOTFOUND, 0xFFFFFFFF},
      {"unknown member", 99, DISPATCH_METHOD, {}, {}, DISP_E_MEMBERNOTFOUND, 0xFFFFFFFF},
      {"put without its value", 6, DISPATCH_PROPERTYPUT, {}, {}, DISP_E_PARAMNOTOPTIONAL, 0xFFFFFFFF},
      {"named twice", 5, DISPATCH_METHOD, {Arg::Text(kPid), Arg::I2(0), Arg::I2(0)}, {1, 1}, DISP_E_PARAMNOTFOUND, 1},
      {"named no parameter", 5, DISPATCH_METHOD, {Arg::Text(kPid), Arg::I2(0), Arg::I2(0)}, {7}, DISP_E_PARAMNOTFOUND, 0},
      {"named left a gap", 5, DISPATCH_METHOD, {Arg::Text(kPid), Arg::I2(0)}, {2}, DISP_E_PARAMNOTOPTIONAL, 0xFFFFFFFF},
      {"by name, any order", 5, DISPATCH_METHOD, {Arg::Text(kPid), Arg::I2(1), Arg::I2(0)}, {2, 1}, S_OK, 0xFFFFFFFF},
  };
  for (Case& c : cases) {
    Arg result;
    UINT argumentError = 0xFFFFFFFF;
    EXPECT_EQ(control_.Invoke(c.id, c.flags, c.args, &result.v(), &argumentError, nullptr, c.named), c.expected)
        << c.what;
    EXPECT_EQ(argumentError, c.argumentError) << c.what;
    if (c.expected == S_OK) {
      EXPECT_EQ(result.v().iVal, 590) << c.what;
    }
  }
  const IID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  EXPECT_EQ(control_.object()->Invoke(1, other, 0, DISPATCH_PROPERTYGET, &none, nullptr, nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);
  DISPPARAMS broken{nullptr, nullptr, 2, 0};
  EXPECT_EQ(control_.object()->Invoke(5, IID_NULL, 0, DISPATCH_METHOD, &broken, nullptr, nullptr, nullptr), E_INVALIDARG);
  EXPECT_EQ(control_.object()->Invoke(5, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), E_INVALIDARG);
  // Without a place for the result, an element made is released at once.
  EXPECT_EQ(control_.Invoke(2, DISPATCH_METHOD, {Arg::Text(u"SNVT_switch"), Arg::Text(kPid), Arg::I2(0)}, nullptr), S_OK);
}

// ---- ITypeElement ------------------------------------------------------------------------

TEST_F(Host, ElementPropertiesAndNames) {
  Client e = Element(u"SNVT_switch");
  struct Case {
    DISPID id;
    std::vector<Arg> args;
    VARTYPE vt;
    int16_t number;
    const char16_t* text;
  } cases[] = {
      // SubfieldsCount, Index, Selector; Canonical, Length, Name of subfields (Name(SubfieldsCount): "")
      {1, {}, VT_I2, 2, nullptr}, {2, {}, VT_I2, 95, nullptr}, {3, {}, VT_I2, 0, nullptr},
      {9, {Arg::I2(0)}, VT_I2, VT_R4, nullptr}, {9, {Arg::I2(2)}, VT_I2, 0, nullptr},
      {10, {Arg::I2(-1)}, VT_I2, 2, nullptr}, {10, {Arg::I4(1)}, VT_I2, 1, nullptr}, {10, {Arg::I2(-2)}, VT_I2, 0, nullptr},
      {11, {Arg::I2(-1)}, VT_BSTR, 0, u"SNVT_switch"}, {11, {Arg::I2(0)}, VT_BSTR, 0, u"value"},
      {11, {Arg::I2(2)}, VT_BSTR, 0, u""}, {11, {Arg::Text(u"1")}, VT_BSTR, 0, u"state"},
  };
  for (Case& c : cases) {
    Arg result = Answer(e, c.id, c.args);
    ASSERT_EQ(result.v().vt, c.vt) << c.id;
    EXPECT_EQ(c.text ? TextOf(result.v()) : std::u16string(), c.text ? c.text : u"") << c.id;
    EXPECT_EQ(c.text ? 0 : result.v().iVal, c.number) << c.id;
  }
  EXPECT_EQ(e.Put(1, Arg::I2(5)), DISP_E_MEMBERNOTFOUND) << "a read-only property";
  EXPECT_EQ(e.Put(11, Arg::Text(u"x")), DISP_E_MEMBERNOTFOUND);
}

TEST_F(Host, GetSubIndexByNameStoresTheIndexOrMinusOne) {
  Client e = Element(u"SNVT_switch");
  struct Case {
    const char16_t* name;
    bool found;
    SHORT index;
  } cases[] = {{u"state", true, 1}, {u"value", true, 0}, {u"State", false, -1}, {u"nothing", false, -1}};
  for (const Case& c : cases) {
    SHORT index = 77;
    Arg result = Answer(e, 4, {Arg::Text(c.name), Arg::RefTo(&index)}, DISPATCH_METHOD);
    EXPECT_EQ(result.v().vt, VT_BOOL);
    EXPECT_EQ(result.v().boolVal, Bool(c.found));
    EXPECT_EQ(index, c.index);
  }
  // The out as a VARIANT holding a short, by reference; a value is refused.
  Arg holder = Arg::I2(9);
  Arg result = Answer(e, 4, {Arg::Text(u"state"), Arg::RefTo(&holder.v())});
  EXPECT_EQ(holder.v().iVal, 1);
  UINT argumentError = 0;
  EXPECT_EQ(e.Invoke(4, DISPATCH_METHOD, {Arg::Text(u"state"), Arg::I2(0)}, &result.v(), &argumentError),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argumentError, 0u) << "the second argument, first in rgvarg";
}

TEST_F(Host, FormatVTTakesTheRawDataInEveryFormAndIgnoresLen) {
  Client e = Element(u"SNVT_switch");
  Arg bytes = Arg::Bytes({0xC8, 0x01});
  SAFEARRAY* array = bytes.v().parray;
  struct Case {
    const char* what;
    Arg data;
    int16_t vt;
    int16_t sub;
    bool ok;
    Arg expected;
  } cases[] = {
      {"array", bytes, VT_BSTR, -1, true, Arg::Text(u"100 1")},
      {"array by reference", Arg::RefTo(&array), VT_BSTR, -1, true, Arg::Text(u"100 1")},
      {"VARIANT by reference", Arg::RefTo(&bytes.v()), VT_BSTR, -1, true, Arg::Text(u"100 1")},
      {"a subfield as text", bytes, VT_BSTR, 1, true, Arg::Text(u"1")},
      {"a subfield as VT_I4", bytes, VT_I4, 0, true, Arg::I4(100)},
      {"a subfield as VT_BOOL", bytes, VT_BOOL, 1, true, Arg::Bool(true)},
      {"too short", Arg::Bytes({0xC8}), VT_BSTR, -1, false, Arg()},
  };
  for (Case& c : cases) {
    for (int16_t len : {2, 0, -7, 1000}) {
      Arg fmtdata;
      Arg result = Answer(e, 5, {Arg::I2(len), c.data, Arg::I2(c.vt), Arg::RefTo(&fmtdata.v()), Arg::I2(c.sub)});
      EXPECT_EQ(result.v().boolVal, Bool(c.ok)) << c.what << " len " << len;
      const VARIANT &got = fmtdata.v(), &want = c.expected.v();
      ASSERT_EQ(got.vt, want.vt) << c.what;
      EXPECT_TRUE(want.vt == VT_BSTR ? TextOf(got) == TextOf(want)
                  : want.vt == VT_I4 ? got.lVal == want.lVal
                                     : want.vt != VT_BOOL || got.boolVal == want.boolVal)
          << c.what;
    }
  }
  // Data in no accepted form: false, and fmtdata as it was.
  for (Arg data : {Arg::Text(u"C801"), Arg::I4(0xC801), Arg()}) {
    Arg fmtdata = Arg::I4(77);
    Arg result = Answer(e, 5, {Arg::I2(2), data, Arg::I2(VT_BSTR), Arg::RefTo(&fmtdata.v()), Arg::I2(-1)});
    EXPECT_EQ(result.v().boolVal, VARIANT_FALSE);
    EXPECT_EQ(fmtdata.v().vt, VT_I4);
    EXPECT_EQ(fmtdata.v().lVal, 77);
  }
}

TEST_F(Host, WriteVTWritesInPlaceAndRefusesAnEmptyValue) {
  Client e = Element(u"SNVT_switch");
  struct Case {
    const char* what;
    Arg value;
    int16_t sub;
    bool ok;
    std::vector<uint8_t> bytes;  // after the write, from AA BB
  } cases[] = {
      {"whole type as text", Arg::Text(u"50 1"), -1, true, {0x64, 0x01}},
      {"a subfield as a number", Arg::R8(25), 0, true, {0x32, 0xBB}},
      {"a subfield as VT_BOOL", Arg::Bool(false), 1, true, {0xAA, 0x00}},
      {"empty", Arg(), -1, false, {0xAA, 0xBB}},
      {"empty on a subfield", Arg(), 0, false, {0xAA, 0xBB}},
      {"text that does not read", Arg::Text(u"1x"), 0, false, {0xAA, 0xBB}},
      {"beyond the bounds", Arg::R8(1e9), 0, false, {0xAA, 0xBB}},
  };
  for (Case& c : cases) {
    for (int16_t len : {2, 0, 99}) {
      Arg data = Arg::Bytes({0xAA, 0xBB});
      Arg result = Answer(e, 7, {Arg::I2(len), Arg::RefTo(&data.v()), c.value, Arg::I2(c.sub)});
      EXPECT_EQ(result.v().boolVal, Bool(c.ok)) << c.what;
      EXPECT_EQ(data.ArrayBytes(), c.bytes) << c.what << " len " << len;
    }
  }
  // A value by reference is the caller's VARIANT: the write converts it.
  Arg data = Arg::Bytes({0, 0});
  Arg value = Arg::I4(75);
  EXPECT_EQ(Answer(e, 7, {Arg::I2(2), Arg::Borrowed(data.v()), Arg::RefTo(&value.v()), Arg::I2(0)}).v().boolVal,
            VARIANT_TRUE);
  EXPECT_EQ(data.ArrayBytes(), (std::vector<uint8_t>{0x96, 0x00}));
  EXPECT_EQ(value.v().vt, VT_R8);
}

TEST_F(Host, GetBoundsFillsTheOutsByReference) {
  Client e = Element(u"SNVT_switch");
  struct Case {
    int16_t sub;
    bool ok;
    double min, max;
  } cases[] = {{0, true, 0, 100}, {1, true, -1, 1}, {5, false, 11, 22}};
  for (const Case& c : cases) {
    double low = 11, high = 22;
    EXPECT_EQ(Answer(e, 8, {Arg::I2(c.sub), Arg::RefTo(&low), Arg::RefTo(&high)}).v().boolVal, Bool(c.ok));
    EXPECT_EQ(std::pair(low, high), std::pair(c.min, c.max));
  }
  double low = 0;
  Arg result;
  UINT argumentError = 0;
  EXPECT_EQ(e.Invoke(8, DISPATCH_METHOD, {Arg::I2(0), Arg::RefTo(&low), Arg::R8(0)}, &result.v(), &argumentError),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argumentError, 0u);
}

// Script hosts pass their variables as VARIANTs by reference, empty before
// the first assignment or holding text: the outs take the declared type.
TEST_F(Host, OutsByReferenceToVariantsTakeTheDeclaredType) {
  Client e = Element(u"SNVT_switch");
  Arg low, high = Arg::Text(u"7"), subindex, word = Arg::Text(u"low"), result;
  ASSERT_EQ(e.Call(8, {Arg::I2(1), Arg::RefTo(&low), Arg::RefTo(&high)}, result), S_OK);
  EXPECT_EQ(result.v().boolVal, VARIANT_TRUE);
  EXPECT_EQ(std::tuple(low.v().vt, low.v().dblVal, high.v().vt, high.v().dblVal), std::tuple(VT_R8, -1.0, VT_R8, 1.0));
  ASSERT_EQ(e.Call(4, {Arg::Text(u"state"), Arg::RefTo(&subindex)}, result), S_OK);
  EXPECT_EQ(std::tuple(subindex.v().vt, subindex.v().iVal), std::tuple(VT_I2, 1));
  // Text that is no number cannot become the out.
  UINT argumentError = 9;
  EXPECT_EQ(e.Invoke(8, DISPATCH_METHOD, {Arg::I2(0), Arg::RefTo(&word), Arg::RefTo(&high)}, &result.v(), &argumentError),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argumentError, 1u);
  EXPECT_EQ(TextOf(word.v()), u"low") << "a refused out keeps its value";
}

TEST_F(Host, MeasurementSystemChangesTheFormatInUse) {
  Client e = Element(u"SNVT_temp_p");
  EXPECT_EQ(TextOf(Answer(e, 12, {}, DISPATCH_PROPERTYGET).v()), u"SI");
  ASSERT_EQ(e.Put(12, Arg::Text(u"US")), S_OK);
  EXPECT_EQ(TextOf(Answer(e, 12, {}, DISPATCH_PROPERTYGET).v()), u"US");
  Arg fmtdata;
  Answer(e, 5, {Arg::I2(2), Arg::Bytes({0x0A, 0x28}), Arg::I2(VT_BSTR), Arg::RefTo(&fmtdata.v()), Arg::I2(-1)});
  EXPECT_EQ(TextOf(fmtdata.v()), u"78.7999987602234");
}

TEST_F(Host, GetValueVTWithoutDialogsOrWithNothingAddressedAnswersFalse) {
  Client e = Element(u"SNVT_switch");
  for (int16_t sub : {-1, 0, 2, -5}) {
    Arg fmtdata = Arg::Text(u"50 1");
    EXPECT_EQ(Answer(e, 6, {Arg::I2(VT_BSTR), Arg::RefTo(&fmtdata.v()), Arg::I2(sub)}).v().boolVal, VARIANT_FALSE) << sub;
    EXPECT_EQ(TextOf(fmtdata.v()), u"50 1") << "left as it was";
  }
}

// ---- persistence ---------------------------------------------------------------------------

TEST_F(Host, TheControlPersistsItsVersionStampThroughAStream) {
  IPersistStreamInit* persist = nullptr;
  ASSERT_EQ(control_.object()->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)), S_OK);
  CLSID clsid{}, expected{};
  ASSERT_EQ(CLSIDFromProgID(kControlProgId, &expected), S_OK);
  EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, expected));
  ULARGE_INTEGER size{};
  EXPECT_EQ(persist->GetSizeMax(&size), S_OK);
  EXPECT_EQ(size.QuadPart, 4u);
  EXPECT_EQ(persist->InitNew(), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  ASSERT_EQ(control_.Put(control_.Id(u"LocaleId"), Arg::Text(u"enu")), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_OK) << "setting LocaleId marks the control modified";

  MemoryStream saved;
  EXPECT_EQ(persist->Save(&saved, TRUE), S_OK);
  EXPECT_EQ(saved.bytes, (std::vector<BYTE>{0x00, 0x00, 0x01, 0x00}));
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  EXPECT_EQ(persist->Load(&saved), S_OK);

  MemoryStream failing({0x00, 0x00, 0x01, 0x00});
  failing.failReads = true;
  MemoryStream empty, shortStream({0x00, 0x00, 0x01}), wrongStamp({0x00, 0x00, 0x02, 0x00}), full({}, 3);
  for (MemoryStream* hostile : {&empty, &shortStream, &wrongStamp, &failing})
    EXPECT_EQ(persist->Load(hostile), E_FAIL) << hostile->bytes.size() << " bytes";
  EXPECT_EQ(persist->Load(nullptr), E_POINTER);
  EXPECT_EQ(persist->Save(&full, FALSE), STG_E_CANTSAVE);
  EXPECT_EQ(persist->Save(nullptr, FALSE), E_POINTER);
  EXPECT_EQ(persist->Load(&saved), E_FAIL) << "read to its end already";
  EXPECT_EQ(persist->Release(), 1u);
}

// Last: with nothing held the module may be unloaded, and the platform lets
// it go (the system keeps it mapped while a thread holds thread-local data
// of it); a new creation finds or loads it again and works.
TEST_F(Host, LastTheModuleCanBeUnloadedWhenNothingIsHeld) {
  ASSERT_EQ(control_.object()->Release(), 0u);
  control_ = Client();
  EXPECT_EQ(module_.CanUnloadNow(), S_OK);
  CoFreeUnusedLibraries();
  SetUp();
  EXPECT_EQ(Answer(control_, 5, {Arg::Text(kPid), Arg::I2(0), Arg::I2(0)}).v().iVal, 590);
}

}  // namespace
