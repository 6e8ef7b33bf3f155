#include "dialogs/qt_value_editor.h"

#include "dialogs/gui_host.h"
#include "dialogs/resource_set.h"
#include "dialogs/value_dialogs.h"

namespace vornfmt::dialogs {
namespace {

// The current resource set when this thread can show widgets; else null.
std::shared_ptr<const ResourceSet> Ready() {
  if (!EnsureGuiApplication()) return nullptr;
  return CurrentUiResources();
}

}  // namespace

void QtValueEditor::ShowMessage(uint32_t messageId) {
  if (auto resources = Ready()) ShowMessageBox(resources->String(messageId));
}

bool QtValueEditor::EditNumber(std::u16string& text, CTypeTreeItemBase& node) {
  auto resources = Ready();
  return resources && RunNumberDialog(*resources, node, text);
}

bool QtValueEditor::EditEnumeration(std::u16string& text, CTypeTreeItemBase& node) {
  auto resources = Ready();
  return resources && RunEnumDialog(*resources, node, text);
}

bool QtValueEditor::EditStructure(std::u16string& text, CTypeTreeItem& root) {
  auto resources = Ready();
  return resources && RunStructDialog(*resources, root, text);
}

ValueEditorUi& QtEditor() {
  static QtValueEditor editor;
  return editor;
}

}  // namespace vornfmt::dialogs
