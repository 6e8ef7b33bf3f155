#include "control/automation/registration.h"

#include <string>
#include <vector>

#include "control/automation/class_ids.h"
#include "control/automation/vornfmt_idl.h"
#include "control/module_resources.h"
#include "platform/registry/winreg.h"

namespace vornfmt {
namespace {

constexpr int kGuidTextSize = 39;  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" and its terminator

// The standard marshaller of dispatch interfaces (PSDispatch).
constexpr char16_t kDispatchMarshaller[] = u"{00020420-0000-0000-C000-000000000046}";

std::u16string GuidText(REFGUID guid) {
  OLECHAR text[kGuidTextSize];
  StringFromGUID2(guid, text, kGuidTextSize);
  return std::u16string(reinterpret_cast<const char16_t*>(text));
}

std::u16string Decimal(unsigned long number) {
  const std::string digits = std::to_string(number);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string VersionText() { return Decimal(idl::kVORNFMTLib.major) + u"." + Decimal(idl::kVORNFMTLib.minor); }

// Creates HKEY_CLASSES_ROOT\<path> and, with `name` (null: the default
// value), sets a text value. Answers whether both succeeded.
bool SetText(const std::u16string& path, const char16_t* name, const std::u16string& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, RegistryText(path.c_str()), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG set = RegSetValueExW(key, name ? RegistryText(name) : nullptr, 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
  RegCloseKey(key);
  return set == ERROR_SUCCESS;
}

bool CreateKey(const std::u16string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, RegistryText(path.c_str()), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

// Removes the key with everything below it; a key that is not there is no
// failure.
bool RemoveTree(const std::u16string& path) {
  const LONG result = RegDeleteTreeW(HKEY_CLASSES_ROOT, RegistryText(path.c_str()));
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

std::u16string LibraryKey() { return u"TypeLib\\" + GuidText(*idl::kVORNFMTLib.libid); }

const DispatchInterface* const kInterfaces[] = {&idl::k_DVornFmt, &idl::k_DVornFmtEvents, &idl::kITypeElement};

bool RegisterTypeLibrary(const std::u16string& file, const std::u16string& folder) {
  const std::u16string library = LibraryKey() + u"\\" + VersionText();
  const char16_t* platform = sizeof(void*) == 8 ? u"\\0\\win64" : u"\\0\\win32";
  bool ok = SetText(library, nullptr, idl::kVORNFMTLib.helpString) && SetText(library + platform, nullptr, file) &&
            SetText(library + u"\\FLAGS", nullptr, u"2") && SetText(library + u"\\HELPDIR", nullptr, folder);
  for (const DispatchInterface* iface : kInterfaces) {
    const std::u16string key = u"Interface\\" + GuidText(*iface->iid);
    ok = ok && SetText(key, nullptr, iface->name) && SetText(key + u"\\ProxyStubClsid", nullptr, kDispatchMarshaller) &&
         SetText(key + u"\\ProxyStubClsid32", nullptr, kDispatchMarshaller) &&
         SetText(key + u"\\TypeLib", nullptr, GuidText(*idl::kVORNFMTLib.libid)) &&
         SetText(key + u"\\TypeLib", u"Version", VersionText());
  }
  return ok;
}

bool RegisterServerClass(const std::u16string& file, REFCLSID clsid, const char16_t* progId, uint32_t nameId) {
  const std::u16string key = u"CLSID\\" + GuidText(clsid);
  const std::u16string name = ModuleString(nameId);
  return SetText(key, nullptr, name) && SetText(key + u"\\InprocServer32", nullptr, file) &&
         SetText(key + u"\\InprocServer32", u"ThreadingModel", u"Apartment") &&
         SetText(key + u"\\ProgID", nullptr, progId) && SetText(progId, nullptr, name) &&
         SetText(std::u16string(progId) + u"\\CLSID", nullptr, GuidText(clsid));
}

bool RegisterClasses(const std::u16string& file) {
  const std::u16string control = u"CLSID\\" + GuidText(idl::CLSID_VornFmt);
  return RegisterServerClass(file, idl::CLSID_VornFmt, kControlProgId, kStringControlTypeName) &&
         CreateKey(control + u"\\Control") && SetText(control + u"\\ToolboxBitmap32", nullptr, file + u", 1") &&
         SetText(control + u"\\MiscStatus", nullptr, u"0") &&
         SetText(control + u"\\MiscStatus\\1", nullptr, Decimal(kControlMiscStatus)) &&
         SetText(control + u"\\TypeLib", nullptr, GuidText(*idl::kVORNFMTLib.libid)) &&
         SetText(control + u"\\Version", nullptr, VersionText()) &&
         RegisterServerClass(file, kClsidVornFmtPropPage, kPropertyPageProgId, kStringPageTypeName);
}

}  // namespace

HRESULT RegisterServer(const std::filesystem::path& moduleFile) {
  const std::u16string file = moduleFile.u16string();
  if (file.empty() || !RegisterTypeLibrary(file, moduleFile.parent_path().u16string())) return SELFREG_E_TYPELIB;
  if (!RegisterClasses(file)) return SELFREG_E_CLASS;
  return S_OK;
}

HRESULT UnregisterServer() {
  bool ok = RemoveTree(LibraryKey() + u"\\" + VersionText());
  // The library's own key goes when no other version is left in it.
  const LONG library = RegDeleteKeyW(HKEY_CLASSES_ROOT, RegistryText(LibraryKey().c_str()));
  ok = ok && (library == ERROR_SUCCESS || library == ERROR_FILE_NOT_FOUND || library == ERROR_ACCESS_DENIED);
  for (const DispatchInterface* iface : kInterfaces) ok = ok && RemoveTree(u"Interface\\" + GuidText(*iface->iid));
  if (!ok) return SELFREG_E_TYPELIB;
  const bool classes = RemoveTree(u"CLSID\\" + GuidText(idl::CLSID_VornFmt)) && RemoveTree(kControlProgId) &&
                       RemoveTree(u"CLSID\\" + GuidText(kClsidVornFmtPropPage)) && RemoveTree(kPropertyPageProgId);
  return classes ? S_OK : SELFREG_E_CLASS;
}

}  // namespace vornfmt
