#include "convert/input/parse_into.h"

#include "convert/output/locale_number_text.h"
#include "convert/output/render.h"
#include "typetree/codec.h"

namespace vornfmt {
namespace {

double Unscaled(const CFmtStringItem& item, double x) {
  return (x - static_cast<double>(item.Offset())) / static_cast<double>(item.Scale());
}

double LowByteOf(std::u16string_view text, size_t i) { return i < text.size() ? (text[i] & 0xFF) : 0; }

// Element fields name[0], name[1], ... up to the first that is missing.
void StoreCharacters(std::u16string_view name, std::u16string_view field, CTypeTreeItem& root) {
  std::u16string element(name);
  for (size_t i = 0;; ++i) {
    element.resize(name.size());
    element += u'[';
    element += DecimalText(static_cast<int32_t>(i));
    element += u']';
    CTypeTreeItemBase* node = root.FindItemByName(element);
    if (!node) return;
    node->value.Store(LowByteOf(field, i));
  }
}

double EnumValue(CTypeTreeItemBase* node, std::u16string_view field) {
  int8_t member = 0;
  return node && EnumValueByName(*node, field, member) ? member : 0;
}

}  // namespace

// Reads `field` by the item's kind into `target` (not for String items).
bool StoreField(const CFmtStringItem& item, std::u16string_view field, CTypeTreeItemBase& target) {
  double x = 0.0;
  bool ok = true;
  size_t used = 0;
  switch (item.Kind()) {
    case ConversionKind::Float:
    case ConversionKind::Decimal:
      x = ReadLeadingReal(field, used);
      ok = used == field.size();
      break;
    case ConversionKind::Hex: x = ReadLeadingLong(field, 16, used); break;
    case ConversionKind::Char: x = LowByteOf(field, 0); break;
    case ConversionKind::EnumName: x = EnumValue(&target, field); break;
    default: break;
  }
  target.value.Store(Unscaled(item, x));
  return ok;
}

bool ParseInto(const CFmtStringItem& item, std::u16string_view field, CTypeTreeItem& root,
               CTypeTreeItemBase* fallback) {
  CTypeTreeItemBase* named = root.FindItemByName(item.Name());
  if (item.Kind() == ConversionKind::String) {
    if (named) named->value.Store(LowByteOf(field, 0));
    else StoreCharacters(item.Name(), field, root);
    return true;
  }
  CTypeTreeItemBase* target = named ? named : fallback;
  return target && StoreField(item, field, *target);
}

bool ParseInto(const CFmtStringItem& item, std::u16string_view field, CTypeTreeItem& root,
               const ResolvedItem& found) {
  if (item.Kind() != ConversionKind::String) return found.node && StoreField(item, field, *found.node);
  if (found.node) {
    found.node->value.Store(LowByteOf(field, 0));
  } else if (found.characters.size() < static_cast<size_t>(kMaxArrayCharacters)) {
    for (size_t i = 0; i < found.characters.size(); ++i) found.characters[i]->value.Store(LowByteOf(field, i));
  } else {
    StoreCharacters(item.Name(), field, root);  // the kept elements may not be all of them
  }
  return true;
}

bool StoreNumber(const CFmtStringItem& item, CTypeTreeItemBase& node, double number) {
  switch (item.Kind()) {
    case ConversionKind::Float:
    case ConversionKind::Hex:
    case ConversionKind::Decimal: node.value.Store(Unscaled(item, number)); break;
    default: node.value.Store(number); break;
  }
  return true;
}

bool SetNumber(const CAlternateFmt& format, CTypeTreeItemBase& node, double number) {
  const CFmtStringItem* item = format.FindItem(node.GetName());
  return StoreNumber(item ? *item : DefaultItem(), node, number);
}

}  // namespace vornfmt
