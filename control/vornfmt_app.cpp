#include "control/vornfmt_app.h"

#include <cstring>

#include "catalog/resource_lock.h"
#include "control/module_resources.h"
#include "control/module_ui.h"
#include "platform/registry/winreg.h"

namespace vornfmt {
namespace {

constexpr DWORD kTextBufferBytes = 128;

// Opens <key>\NVT_Formatter, reads `name` into `buffer` (at most `size`
// bytes) and closes both keys; false when any step fails.
bool ReadValue(std::u16string_view key, std::u16string_view name, BYTE* buffer, DWORD size) {
  const std::u16string keyText(key), nameText(name);
  HKEY components = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, RegistryText(keyText.c_str()), 0, KEY_READ, &components) != ERROR_SUCCESS)
    return false;
  HKEY formatter = nullptr;
  bool read = false;
  if (RegOpenKeyExW(components, RegistryText(kConfigurationSubkey), 0, KEY_READ, &formatter) == ERROR_SUCCESS) {
    DWORD bytes = size;
    read = RegQueryValueExW(formatter, RegistryText(nameText.c_str()), nullptr, nullptr, buffer, &bytes) ==
           ERROR_SUCCESS;
    RegCloseKey(formatter);
  }
  RegCloseKey(components);
  return read;
}

}  // namespace

uint32_t ReadConfigurationNumber(std::u16string_view key, std::u16string_view name, uint32_t fallback) {
  // A shorter value fills the low bytes; the rest stay zero.
  BYTE buffer[4] = {};
  if (!ReadValue(key, name, buffer, sizeof buffer)) return fallback;
  return buffer[0] | buffer[1] << 8 | buffer[2] << 16 | static_cast<uint32_t>(buffer[3]) << 24;
}

std::u16string ReadConfigurationText(std::u16string_view key, std::u16string_view name,
                                     std::u16string_view fallback) {
  BYTE buffer[kTextBufferBytes] = {};
  if (!ReadValue(key, name, buffer, sizeof buffer)) return std::u16string(fallback);
  // The text ends at its terminator; 64 characters without one (a value
  // stored without terminator) are as long as 64 with one: too long.
  std::u16string text;
  for (DWORD i = 0; i + 1 < kTextBufferBytes; i += 2) {
    const char16_t c = static_cast<char16_t>(buffer[i] | buffer[i + 1] << 8);
    if (c == 0) return text;
    text.push_back(c);
  }
  return std::u16string(fallback);
}

CVornFmtApp::CVornFmtApp(const FormatterSetup& setup, ModuleUi* ui) : setup_(setup), ui_(ui) {
  // The resource lock comes into being with the module object, so that it
  // outlives everything module exit still does.
  ResourceLock();
}

CVornFmtApp::~CVornFmtApp() { ExitInstance(); }

bool CVornFmtApp::InitInstance() {
  if (Started()) return true;
  const bool started = true;  // the base class's start has nothing that fails here
  ResourceGuard guard(ResourceLock());
  const std::u16string key = ModuleString(kStringRegistryKey);
  if (started) configuration_.viewMessages = ReadConfigurationNumber(key, u"ViewMessages", 0) != 0 ? 1 : 0;
  FormatterSetup setup = setup_;
  setup.viewMessages = configuration_.viewMessages;
  if (ui_) {
    previousUi_ = InstallModuleUi(ui_);
    if (!setup.editor) setup.editor = ui_->Editor();
  }
  formatter_ = AssembleFormatter(setup);

  configuration_.languageDll = ReadConfigurationText(key, u"LanguageDll", u"");
  languageError_.clear();
  if (configuration_.languageDll.empty() || !SelectLanguageModule(configuration_.languageDll, languageError_))
    SelectOwnResources();

  // The key as the (possibly new) resources give it.
  configuration_.catalogPath = ReadConfigurationText(ModuleString(kStringRegistryKey), u"Catalog_Path",
                                                     kDefaultCatalogPath);
  formatter_->Engine().OpenCatalog(configuration_.catalogPath);
  return started;
}

int CVornFmtApp::ExitInstance() {
  if (!formatter_) return 0;
  ResourceGuard guard(ResourceLock());
  formatter_->Engine().CloseCatalog();
  formatter_.reset();
  if (ui_) InstallModuleUi(previousUi_);
  return 0;
}

}  // namespace vornfmt
