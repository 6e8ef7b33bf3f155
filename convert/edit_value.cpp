#include "convert/edit_value.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "convert/conversion_drivers.h"
#include "convert/tree_text.h"
#include "convert/variant_convert.h"
#include "typetree/codec.h"
#include "typetree/limit_breach.h"

namespace vornfmt {
namespace {

// A plain process-wide setting; atomic only so that reading it races with
// nothing.
std::atomic<uint32_t> viewMessages{0};
std::atomic<ValueEditorUi*> editorUi{nullptr};

bool IsNumericKind(int32_t kind) {
  return (kind >= kKindChar && kind <= kKindUnsignedLong) || kind == kKindBitfield || kind == kKindFloat ||
         kind == kKindSignedQuad;
}

// A VARIANT that clears itself.
struct LocalVariant {
  VARIANT v;
  LocalVariant() { VariantInit(&v); }
  ~LocalVariant() { VariantClear(&v); }
  LocalVariant(const LocalVariant&) = delete;
  LocalVariant& operator=(const LocalVariant&) = delete;
};

// Writes the accepted text of a subfield (or of the whole type) and hands it
// back in `value` -- on success only, or always.
bool WriteAccepted(CTypeTreeItem& root, uint8_t* raw, size_t length, LocalVariant& local, int16_t sub,
                   VARIANT* value, bool copyAlways) {
  const bool written = WriteFromVariant(root, raw, length, &local.v, sub);
  if ((written || copyAlways) && value) VariantCopy(value, &local.v);
  return written;
}

bool EditNumber(ValueEditorUi& ui, CTypeTreeItemBase& node, uint8_t* raw, size_t length, LocalVariant& local,
                VARIANT* value) {
  std::u16string text(BstrText(local.v));
  if (!ui.EditNumber(text, node)) return false;
  SetBstr(local.v, text);
  CTypeTreeItem& root = *node.owner;
  return WriteAccepted(root, raw, length, local, root.FindSubIndexByName(node.GetName()), value, false);
}

bool EditEnumeration(ValueEditorUi& ui, CTypeTreeItemBase& node, uint8_t* raw, size_t length,
                     LocalVariant& local, VARIANT* value) {
  std::u16string text(BstrText(local.v));
  if (!ui.EditEnumeration(text, node)) return false;
  SetBstr(local.v, text);
  CTypeTreeItem& root = *node.owner;
  const int16_t sub = root.FindSubIndexByName(node.GetName());
  int8_t member = 0;
  if (EnumValueByName(node, text, member)) {
    node.value.Store(member);
    std::u16string shown;
    FormatText(root, shown, sub);
    SetBstr(local.v, shown);
  }
  return WriteAccepted(root, raw, length, local, sub, value, true);
}

bool EditStructure(ValueEditorUi& ui, CTypeTreeItemBase& node, uint8_t* raw, size_t length, LocalVariant& local,
                   VARIANT* value) {
  std::u16string text(BstrText(local.v));
  CTypeTreeItem& root = *node.owner;
  if (!ui.EditStructure(text, root)) return false;
  SetBstr(local.v, text);
  return WriteAccepted(root, raw, length, local, -1, value, true);
}

}  // namespace

uint32_t ViewMessages() { return viewMessages.load(); }
void SetViewMessages(uint32_t on) { viewMessages.store(on); }

ValueEditorUi* SetValueEditorUi(ValueEditorUi* ui) { return editorUi.exchange(ui); }

bool EditValue(CTypeTreeItemBase& node, uint8_t* raw, size_t length, VARIANT* value, uint32_t messageId) {
  if (ViewMessages() == 0 || !node.owner || node.owner->interactive == 0) return false;
  ValueEditorUi* ui = editorUi.load();
  if (!ui) return false;
  LocalVariant local;
  if (value && VariantCopy(&local.v, value) != S_OK) return false;
  if (messageId != 0) ui->ShowMessage(messageId);
  // A value that cannot become text cannot fill a dialog.
  if (ConvertVariantCopy(&local.v, VT_BSTR) != S_OK) return false;
  if (IsNumericKind(node.kind)) return EditNumber(*ui, node, raw, length, local, value);
  if (node.kind == kKindEnum) return EditEnumeration(*ui, node, raw, length, local, value);
  if (node.kind == kKindStruct) return EditStructure(*ui, node, raw, length, local, value);
  return true;  // arrays, unions and kinds without a dialog: nothing to correct
}

bool EditValueInteractive(CTypeTreeItemBase& node, VARIANT* value) {
  if (!node.owner) return false;
  CTypeTreeItem& root = *node.owner;
  root.GetFormat();  // chooses the format before the dialog asks for texts
  std::vector<uint8_t> scratch(std::max<size_t>(root.GetSize(true), 1));
  // Raised for this call only, also when a nested call returns early.
  struct FlagRaised {
    uint32_t previous = ViewMessages();
    FlagRaised() { SetViewMessages(1); }
    ~FlagRaised() { SetViewMessages(previous); }
  } raised;
  return EditValue(node, scratch.data(), scratch.size(), value, 0);
}

}  // namespace vornfmt
