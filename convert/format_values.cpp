#include "convert/format_values.h"

#include "convert/item_value.h"
#include "convert/render.h"

namespace vornfmt {

bool FormatValues(const CAlternateFmt& format, std::u16string& out, CTypeTreeItem& root, int16_t sub) {
  if (static_cast<uint16_t>(sub) == 0xFFFF) {
    std::u16string text;
    Render(format, text, root);
    out = std::move(text);
    return true;
  }
  CTypeTreeItemBase* node = root.GetSubfield(sub);
  if (!node) return false;
  const CFmtStringItem* item = format.FindItemOrArrayItem(node->GetName());
  if (!item) return false;
  out = ValueText(*item, *node);
  return true;
}

double GetNumber(const CAlternateFmt& format, CTypeTreeItemBase* node) {
  if (!node) return 0.0;
  const CFmtStringItem* item = format.FindItem(node->GetName());
  return item ? ScaledValue(*item, *node) : 0.0;
}

bool FormatBound(const CAlternateFmt& format, std::u16string_view name, double number, std::u16string& out) {
  const CFmtStringItem* item = format.FindItem(name);
  return NumberText(item ? *item : DefaultItem(), number, out);
}

}  // namespace vornfmt
