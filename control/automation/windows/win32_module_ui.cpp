#include "control/automation/windows/win32_module_ui.h"

#include "control/automation/windows/win32_value_editor.h"

namespace vornfmt {
namespace {

class Win32Ui final : public ModuleUi {
 public:
  ValueEditorUi* Editor() override { return &editor_; }

  // The module carries one resource set, its own; a language module's
  // folder is not read here, so its string table stays in force.
  bool SelectResourceSet(const std::filesystem::path& folder) override { return folder.empty(); }

  std::optional<std::u16string> String(uint32_t id) override {
    if (id > 0xFFFF) return std::nullopt;
    const wchar_t* text = nullptr;
    // Length 0 hands back a pointer into the resource itself (not terminated).
    const int length = LoadStringW(ThisModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return std::nullopt;
    return std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<size_t>(length));
  }

  bool ShowPropertyPage(std::u16string_view, int, std::u16string_view) override { return false; }

 private:
  Win32ValueEditor editor_;
};

}  // namespace

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

ModuleUi& Win32ModuleUi() {
  static Win32Ui ui;
  return ui;
}

}  // namespace vornfmt
