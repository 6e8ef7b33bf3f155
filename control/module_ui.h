#pragma once
// What the module shows, as the library that draws it supplies it: the
// editing step's dialogs, the resource set of the chosen language (its
// dialogs and string table), and the property page. The control module
// hands one to CVornFmtApp where it is built (the Qt one when the dialogs
// are built, control/automation/qt_module_ui.h); without one the module
// shows nothing, a failed write answers false, and ModuleString reads the
// language module's or the built-in table.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vornfmt {

class ValueEditorUi;

class ModuleUi {
 public:
  virtual ~ModuleUi() = default;
  // The dialogs of the editing step.
  virtual ValueEditorUi* Editor() = 0;
  // Makes the resource set in `folder` the current one (empty: the
  // built-in English set); false, the current one staying, when it cannot
  // be read.
  virtual bool SelectResourceSet(const std::filesystem::path& folder) = 0;
  // The string `id` of the current resource set; nullopt when it has none.
  virtual std::optional<std::u16string> String(uint32_t id) = 0;
  // Shows the property frame titled `title` with the one page: dialog
  // `dialogId` of the current set under the tab `caption`, modally. False
  // when nothing could be shown (no display, no such dialog).
  virtual bool ShowPropertyPage(std::u16string_view title, int dialogId, std::u16string_view caption) = 0;
};

}  // namespace vornfmt
