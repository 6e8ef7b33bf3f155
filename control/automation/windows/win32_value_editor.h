#pragma once
// ValueEditorUi on Win32: the message box through MessageBoxW and the
// number and enumeration dialogs through DialogBoxParamW over the module's
// templates 202 and 107. The dialogs show what convert/ and typetree/ give
// for the node and hand back the typed or chosen text unchecked; the write
// that follows decides whether it reads.
#include "convert/edit_value.h"

namespace vornfmt {

class Win32ValueEditor final : public ValueEditorUi {
 public:
  void ShowMessage(uint32_t messageId) override;
  bool EditNumber(std::u16string& text, CTypeTreeItemBase& node) override;
  bool EditEnumeration(std::u16string& text, CTypeTreeItemBase& node) override;
  // Not drawn on Win32: answers false.
  bool EditStructure(std::u16string& text, CTypeTreeItem& root) override;
};

}  // namespace vornfmt
