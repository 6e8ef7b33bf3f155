#include "convert/format_values.h"

#include "convert/find_item.h"
#include "convert/item_value.h"
#include "convert/render.h"

namespace vornfmt {

bool FormatValues(const CBracketsObject& format, std::u16string& out, CTypeTreeItem& root, int16_t sub) {
  if (static_cast<uint16_t>(sub) == 0xFFFF) {
    std::u16string text;
    Render(format, text, root);
    out = std::move(text);
    return true;
  }
  CTypeTreeItemBase* node = root.GetSubfield(sub);
  if (!node) return false;
  const CFmtStringItem* item = FindItemOrArrayItem(format, node->GetName(), root);
  if (!item) return false;
  out = ValueText(*item, *node);
  return true;
}

double GetNumber(const CBracketsObject& format, CTypeTreeItemBase* node) {
  if (!node) return 0.0;
  const std::u16string name = node->GetName();
  const CFmtStringItem* item = node->owner ? FindItem(format, name, *node->owner) : FindItem(format, name);
  return item ? ScaledValue(*item, *node) : 0.0;
}

bool FormatBound(const CBracketsObject& format, std::u16string_view name, double number, std::u16string& out,
                 CTypeTreeItem& root) {
  const CFmtStringItem* item = FindItem(format, name, root);
  return NumberText(item ? *item : DefaultItem(), number, out);
}

}  // namespace vornfmt
