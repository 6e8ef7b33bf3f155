#pragma once
// The editing step: what happens when written data is wrong. While the
// view-messages flag is off (its default) EditValue shows nothing and
// answers false at once -- all that a failed WriteVT then does. While it is
// on, and the tree's `interactive` flag is set, EditValue shows the message
// and lets the user correct the value through the user interface of the
// assembled formatter (convert/formatter_assembly.h); without one it answers
// false as well.
//
// The correction loop, which runs through three places:
//
//   WriteFromVariant ──text does not read / value is no number──► EditValue
//   Encode (codec)   ──a limit is broken──► limit-breach handler = EditValue
//   EditValue ──message box, then the dialog for the node's kind──► ValueEditorUi
//   ValueEditorUi ──OK with a new text──► EditValue ──► WriteFromVariant again
//
// so a corrected text that is wrong again comes straight back here, and the
// loop ends when a text is accepted (true) or the user cancels (false).
// The dialogs implement ValueEditorUi and never convert anything themselves.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/automation/oleauto.h"
#include "typetree/limit_breach.h"
#include "typetree/type_tree_item.h"

namespace vornfmt {

// Messages of the editing step, from the module's string table (the codec
// reports kMessageDataExceedsBounds, 101 "Data exceeds bounds.").
inline constexpr uint32_t kMessageWrongData = 106;  // "Wrong data."

// The process-wide view-messages flag (ViewMessages of the configuration).
uint32_t ViewMessages();
void SetViewMessages(uint32_t on);

// The dialogs behind EditValue. Each editor gets the rejected text and
// answers true (OK) with the accepted text in `text`, or false (Cancel).
class ValueEditorUi {
 public:
  virtual ~ValueEditorUi() = default;
  // A message box titled "Vorn Formatter" with message `messageId`.
  virtual void ShowMessage(uint32_t messageId) = 0;
  virtual bool EditNumber(std::u16string& text, CTypeTreeItemBase& node) = 0;
  virtual bool EditEnumeration(std::u16string& text, CTypeTreeItemBase& node) = 0;
  virtual bool EditStructure(std::u16string& text, CTypeTreeItem& root) = 0;
};

// Installs `ui` (null: none); answers the previous one. Not owned.
ValueEditorUi* SetValueEditorUi(ValueEditorUi* ui);

// The editing step for `node` whose data (in `raw`, `length` bytes) could
// not be written; `value` is the caller's VARIANT, given the accepted text
// when a correction is written. The signature is the codec's limit-breach
// handler's.
bool EditValue(CTypeTreeItemBase& node, uint8_t* raw, size_t length, VARIANT* value, uint32_t messageId);

// GetValueVT's editing: the dialog for `node` (a subfield or the whole
// type), started from the text of `value`, whatever the view-messages flag
// says -- it is raised for the call and put back afterwards. The accepted
// text comes back in `value` (true); Cancel answers false. The bytes the
// nested writes produce go to a scratch area of the type's length and are
// dropped: the caller gets text, not bytes.
bool EditValueInteractive(CTypeTreeItemBase& node, VARIANT* value);

}  // namespace vornfmt
