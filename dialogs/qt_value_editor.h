#pragma once
// The editing step's user interface on Qt Widgets: ValueEditorUi answered by
// the dialogs of value_dialogs.h with the current resource set (texts,
// templates, bitmaps). Every call first makes sure this thread can show
// widgets (gui_host.h); where it cannot, nothing is shown and the editors
// answer false (Cancel).
#include "convert/edit_value.h"

namespace vornfmt::dialogs {

class QtValueEditor : public ValueEditorUi {
 public:
  void ShowMessage(uint32_t messageId) override;
  bool EditNumber(std::u16string& text, CTypeTreeItemBase& node) override;
  bool EditEnumeration(std::u16string& text, CTypeTreeItemBase& node) override;
  bool EditStructure(std::u16string& text, CTypeTreeItem& root) override;
};

// The one instance, for FormatterSetup::editor.
ValueEditorUi& QtEditor();

}  // namespace vornfmt::dialogs
