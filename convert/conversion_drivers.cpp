#include "convert/conversion_drivers.h"

#include <string>

#include "convert/edit_value.h"
#include "convert/input/parse_into.h"
#include "convert/output/render.h"
#include "convert/tree_text.h"
#include "convert/variant_convert.h"
#include "format/alternate_fmt.h"
#include "typetree/codec.h"

namespace vornfmt {
namespace {

bool CoversType(CTypeTreeItem& root, const uint8_t* raw, size_t length) {
  return raw && length >= root.GetSize(true);
}

BOOL FormatNumber(CTypeTreeItem& root, VARTYPE vt, VARIANT* result, int16_t sub) {
  const CAlternateFmt* format = root.GetFormat();
  result->vt = VT_R8;
  result->dblVal = format ? GetNumber(*format, root.GetSubfield(sub)) : 0.0;
  const HRESULT code = ConvertVariantCopy(result, vt);
  if (code == S_OK) return TRUE;
  VariantClear(result);
  result->vt = VT_ERROR;
  result->scode = code;
  return FALSE;
}

// Notes the converted leaves of `node` that hold no value, which the codec
// refuses without a message (WriteRefusalCollector, edit_value.h).
void NoteLeavesWithoutValue(const CTypeTreeItemBase& node) {
  if (IsContainerKind(node.kind)) {
    for (const auto& child : node.Children()) NoteLeavesWithoutValue(*child);
  } else if (IsConvertedKind(node.kind) && !node.value.IsSet()) {
    NoteWriteRefusal(node, kRefusalNoValue);
  }
}

BOOL EncodeNoted(CTypeTreeItemBase& node, uint8_t* raw, size_t length, VARIANT* value) {
  if (Encode(node, raw, length, value)) return TRUE;
  NoteLeavesWithoutValue(node);
  return FALSE;
}

BOOL WriteNumber(CTypeTreeItem& root, CTypeTreeItemBase& node, uint8_t* raw, size_t length, VARIANT* value) {
  if (ConvertVariant(value, VT_R8) != S_OK) return EditValue(node, raw, length, value, kMessageWrongData);
  const CAlternateFmt* format = root.GetFormat();
  if (!format) return FALSE;
  SetNumber(*format, node, value->dblVal);
  return EncodeNoted(node, raw, length, value);
}

}  // namespace

BOOL FormatToVariant(CTypeTreeItem& root, const uint8_t* raw, size_t length, VARTYPE vt, VARIANT* result,
                     int16_t sub) {
  if (!result) return FALSE;
  root.GetFormat();
  VariantClear(result);
  if (!CoversType(root, raw, length) || !Decode(root, raw, length)) return FALSE;
  if (vt != VT_BSTR) return FormatNumber(root, vt, result, sub);
  std::u16string text;
  const bool ok = FormatText(root, text, sub);
  SetBstr(*result, ok ? std::u16string_view(text) : std::u16string_view());
  return ok ? TRUE : FALSE;
}

BOOL WriteFromVariant(CTypeTreeItem& root, uint8_t* raw, size_t length, VARIANT* value, int16_t sub) {
  root.GetFormat();
  CTypeTreeItemBase* node = root.GetSubfield(sub);
  if (!node || !value || !CoversType(root, raw, length)) return FALSE;
  if (static_cast<uint16_t>(sub) == 0xFFFF) root.ClearValues();
  else node->value.Clear();
  if (value->vt != VT_BSTR) return WriteNumber(root, *node, raw, length, value);
  if (!ParseText(root, BstrText(*value), sub)) return EditValue(*node, raw, length, value, kMessageWrongData);
  return EncodeNoted(*node, raw, length, value);
}

}  // namespace vornfmt
