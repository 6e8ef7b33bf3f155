#pragma once
// CVornFmtApp: the control module's one module object. Module start reads
// the configuration from the registry, chooses the user-interface resources,
// assembles the formatter (the only call of AssembleFormatter in the module)
// and opens the catalog; module exit closes it and takes the formatter
// apart.
//
// The configuration, under HKEY_LOCAL_MACHINE\<string 108>\NVT_Formatter:
//
//   ViewMessages   4 bytes, non-zero turns the view-messages flag on  (0)
//   LanguageDll    text of at most 63 characters, the language module ("")
//   Catalog_Path   text of at most 63 characters, the catalog folder
//                  ("C:\LonWorks\Types", mapped by platform/drive_paths.h)
//
// A value is taken only when both keys open and it fits its buffer (4 bytes,
// 128 bytes); its registry type is not examined; both keys are closed after
// each read. Every other case gives the default.
#include <cstdint>
#include <memory>
#include <string>

#include "convert/formatter_assembly.h"

namespace vornfmt {

inline constexpr char16_t kDefaultCatalogPath[] = u"C:\\LonWorks\\Types";
inline constexpr char16_t kConfigurationSubkey[] = u"NVT_Formatter";

struct ModuleConfiguration {
  uint32_t viewMessages = 0;
  std::u16string languageDll;
  std::u16string catalogPath = kDefaultCatalogPath;
};

// Each value read as module start reads it, under `key` (string 108).
uint32_t ReadConfigurationNumber(std::u16string_view key, std::u16string_view name, uint32_t fallback);
std::u16string ReadConfigurationText(std::u16string_view key, std::u16string_view name, std::u16string_view fallback);

class ModuleUi;

class CVornFmtApp {
 public:
  // `setup` is what the module hands the assembly besides the view-messages
  // flag (the resource library, the dialogs); tests pass their own. `ui`,
  // when given, is installed for as long as the module is started: its
  // editor becomes the editing step's dialogs (unless `setup` names one),
  // its resource sets follow the language module, and the Properties verb
  // shows its page.
  explicit CVornFmtApp(const FormatterSetup& setup = {}, ModuleUi* ui = nullptr);
  ~CVornFmtApp();
  CVornFmtApp(const CVornFmtApp&) = delete;
  CVornFmtApp& operator=(const CVornFmtApp&) = delete;

  // Module start; answers the base start's result (always true here).
  bool InitInstance();
  // Module exit: the catalog closed, the formatter taken apart. Again: nothing.
  int ExitInstance();

  bool Started() const { return formatter_ != nullptr; }
  const ModuleConfiguration& Configuration() const { return configuration_; }
  // Why the language module named by LanguageDll was not loaded; empty when
  // it was, or none was named.
  const std::string& LanguageModuleError() const { return languageError_; }

 private:
  FormatterSetup setup_;
  ModuleUi* ui_;
  ModuleUi* previousUi_ = nullptr;
  ModuleConfiguration configuration_;
  std::unique_ptr<Formatter> formatter_;
  std::string languageError_;
};

}  // namespace vornfmt
