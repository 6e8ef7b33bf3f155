// The COM part of the emulation: GUID texts, reference counting of object
// VARIANTs, ProgIDs and the refusals of activation. A successful activation
// is the host test's (tests/host).
#include "platform/automation/oleauto.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/registry/emulation/hive.h"
#include "platform/registry/winreg.h"
#include "tests/support/temp_registry.h"

namespace {

constexpr int kGuidTextSize = 39;  // the braced form and its terminator

constexpr GUID kGuid = {0x9B71C9E5, 0xF852, 0x488F, {0xB4, 0x57, 0xD3, 0x43, 0x52, 0x87, 0x7E, 0xD1}};

TEST(GuidText, ReadsTheBracedFormOnly) {
  struct Case {
    const char16_t* text;
    HRESULT expected;
  } cases[] = {
      {u"{9B71C9E5-F852-488F-B457-D34352877ED1}", S_OK},
      {u"{9b71c9e5-f852-488f-b457-d34352877ed1}", S_OK},
      {u"9B71C9E5-F852-488F-B457-D34352877ED1", CO_E_CLASSSTRING},
      {u"{9B71C9E5-F852-488F-B457-D34352877ED1", CO_E_CLASSSTRING},
      {u"{9B71C9E5-F852-488F-B457-D34352877ED1}x", CO_E_CLASSSTRING},
      {u"{9B71C9E5F-852-488F-B457-D34352877ED1}", CO_E_CLASSSTRING},
      {u"{9B71C9E5-F852-488F-B457-D34352877EG1}", CO_E_CLASSSTRING},
      {u"", CO_E_CLASSSTRING},
  };
  for (const Case& c : cases) {
    CLSID clsid = GUID_NULL;
    EXPECT_EQ(CLSIDFromString(c.text, &clsid), c.expected) << vornfmt::registry::ToUtf8(c.text);
    EXPECT_EQ(IsEqualGUID(clsid, kGuid), c.expected == S_OK);
  }
  OLECHAR text[kGuidTextSize];
  EXPECT_EQ(StringFromGUID2(kGuid, text, kGuidTextSize), kGuidTextSize);
  EXPECT_EQ(std::u16string(text), u"{9B71C9E5-F852-488F-B457-D34352877ED1}");
  EXPECT_EQ(StringFromGUID2(kGuid, text, kGuidTextSize - 1), 0);
}

// An object that only counts its references.
struct CountedObject : IUnknown {
  ULONG references = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
};

TEST(ObjectVariants, CopiesAddAReferenceAndClearingReleasesIt) {
  CountedObject object;
  VARIANT a{}, b{}, c{};  // VT_EMPTY, as VariantInit leaves them
  a.vt = VT_UNKNOWN;
  a.punkVal = &object;
  object.AddRef();  // the reference a holds
  EXPECT_EQ(VariantCopy(&b, &a), S_OK);
  EXPECT_EQ(object.references, 3u);
  IUnknown* pointer = &object;
  VARIANT byReference;
  byReference.vt = VT_UNKNOWN | VT_BYREF;
  byReference.ppunkVal = &pointer;
  EXPECT_EQ(VariantCopyInd(&c, &byReference), S_OK);
  EXPECT_EQ(object.references, 4u);
  EXPECT_EQ(VariantCopy(&b, &byReference), S_OK) << "a BYREF copy holds no reference";
  EXPECT_EQ(object.references, 3u);
  EXPECT_EQ(VariantClear(&a), S_OK);
  EXPECT_EQ(VariantClear(&c), S_OK);
  EXPECT_EQ(object.references, 1u);
  a.vt = VT_DISPATCH;
  a.pdispVal = nullptr;
  EXPECT_EQ(VariantClear(&a), S_OK) << "a null object is nothing to release";
}

class Activation : public ::testing::Test {
 protected:
  void Register(const std::u16string& path, const std::u16string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>((value.size() + 1) * 2)),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  static constexpr char16_t kClassKey[] = u"CLSID\\{9B71C9E5-F852-488F-B457-D34352877ED1}\\InprocServer32";
  vornfmt::test::TempRegistry registry_;
};

TEST_F(Activation, ProgIdsNameTheirClass) {
  Register(u"Some.Thing.1\\CLSID", u"{9B71C9E5-F852-488F-B457-D34352877ED1}");
  Register(u"Bad.Thing.1\\CLSID", u"not a class");
  CLSID clsid = GUID_NULL;
  EXPECT_EQ(CLSIDFromProgID(u"some.thing.1", &clsid), S_OK);
  EXPECT_TRUE(IsEqualGUID(clsid, kGuid));
  EXPECT_EQ(CLSIDFromProgID(u"Bad.Thing.1", &clsid), CO_E_CLASSSTRING);
  EXPECT_EQ(CLSIDFromProgID(u"Missing.Thing.1", &clsid), CO_E_CLASSSTRING);
  EXPECT_EQ(CLSIDFromProgID(u"A\\B", &clsid), CO_E_CLASSSTRING);
  EXPECT_EQ(CLSIDFromProgID(nullptr, &clsid), E_INVALIDARG);
}

TEST_F(Activation, RefusesWhatCannotBeActivated) {
  IUnknown* object = reinterpret_cast<IUnknown*>(this);
  EXPECT_EQ(CoCreateInstance(kGuid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&object)),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
  Register(kClassKey, u"/nonexistent/module.so");
  EXPECT_EQ(CoCreateInstance(kGuid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&object)),
            CO_E_DLLNOTFOUND);
  EXPECT_EQ(CoCreateInstance(kGuid, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, reinterpret_cast<void**>(&object)),
            REGDB_E_CLASSNOTREG);
  // A shared library that is no COM server: this emulation's own.
  Register(kClassKey, VORNFMT_WINAPI_FILE);
  EXPECT_EQ(CoCreateInstance(kGuid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&object)),
            CO_E_ERRORINDLL);
  CoFreeUnusedLibraries();
}

}  // namespace
