#include "control/automation/qt_module_ui.h"

#include "dialogs/gui_host.h"
#include "dialogs/property_frame.h"
#include "dialogs/qt_value_editor.h"
#include "dialogs/resource_set.h"

namespace vornfmt {
namespace {

class QtUi final : public ModuleUi {
 public:
  ValueEditorUi* Editor() override { return &dialogs::QtEditor(); }

  bool SelectResourceSet(const std::filesystem::path& folder) override {
    return dialogs::SelectUiResources(folder.empty() ? dialogs::UiResourceFolder("enu") : folder);
  }

  std::optional<std::u16string> String(uint32_t id) override {
    const std::shared_ptr<const dialogs::ResourceSet> set = dialogs::CurrentUiResources();
    std::u16string text = set ? set->String(id) : std::u16string();
    if (text.empty()) return std::nullopt;
    return text;
  }

  bool ShowPropertyPage(std::u16string_view title, int dialogId, std::u16string_view caption) override {
    if (!dialogs::EnsureGuiApplication()) return false;
    const std::shared_ptr<const dialogs::ResourceSet> set = dialogs::CurrentUiResources();
    return set && dialogs::RunPropertyFrame(*set, title, dialogId, caption);
  }
};

}  // namespace

ModuleUi& QtModuleUi() {
  static QtUi ui;
  return ui;
}

}  // namespace vornfmt
