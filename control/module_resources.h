#pragma once
// Where the module's user-interface resources come from: its own (English,
// built in), or, once module start has loaded the language module the
// configuration names, that module's. The string table's ids:
//
//   1   "VornFmt Control"           the control's type name
//   2   "VornFmt Property Page"     the property page's type name
//   101..106                        the value-error messages
//   108 the registry key of the configuration
//   200 "General"                   the property page's caption
//
// A language module is a shared library exporting
// VornFmtLanguageResources() (language_module_abi.h). It is searched, when
// its name holds no folder, first beside the control module and then where
// the system searches libraries. One that cannot be loaded, or answers no
// valid resources, leaves the current source. A loaded module is never
// unloaded.
//
// With a user interface (module_ui.h) installed, choosing a source also
// chooses its resource set there -- the language module's, or the built-in
// English one for the module's own -- and ModuleString reads that set's
// string table first. A language module that names no set, or one that
// cannot be read, keeps its string table as the source of the strings.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vornfmt {

class ModuleUi;

inline constexpr uint32_t kStringControlTypeName = 1;
inline constexpr uint32_t kStringPageTypeName = 2;
inline constexpr uint32_t kStringRegistryKey = 108;
inline constexpr uint32_t kStringPageCaption = 200;
// The dialog of the property page (empty).
inline constexpr int kDialogPropertyPage = 200;

// The string `id` of the current source; the built-in English one when the
// source has none; empty when neither has it.
std::u16string ModuleString(uint32_t id);
// "enu" for the module's own resources, else the language module's.
std::string ResourceLanguage();
// The dialog resource set of the language module; empty for the built-in
// one.
std::filesystem::path ResourceSetFolder();

// Loads `fileName` and makes it the source; false, with `error`, when it
// cannot be loaded or answers no valid resources (the source stays).
bool SelectLanguageModule(std::u16string_view fileName, std::string& error);
// Back to the module's own resources (a module loaded stays loaded).
void SelectOwnResources();

// The user interface the module shows its resources through; null: none.
// CVornFmtApp installs its own for the time it is started; answers the
// previous one.
ModuleUi* InstallModuleUi(ModuleUi* ui);
ModuleUi* CurrentModuleUi();

}  // namespace vornfmt
