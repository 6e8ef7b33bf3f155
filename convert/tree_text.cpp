#include "convert/tree_text.h"

#include "catalog/formatter_engine.h"
#include "convert/input/parse_values.h"
#include "convert/output/locale_number_text.h"
#include "convert/output/render.h"
#include "format/alternate_fmt.h"
#include "typetree/bounds.h"

namespace vornfmt {
namespace {

std::u16string BoundText(const CAlternateFmt& format, std::u16string_view name, double bound) {
  std::u16string text;
  return FormatBound(format, name, bound, text) ? text : RealText(bound);
}

}  // namespace

bool FormatText(CTypeTreeItem& root, std::u16string& out, int16_t sub) {
  const CAlternateFmt* format = root.GetFormat();
  return format && FormatValues(*format, out, root, sub);
}

bool ParseText(CTypeTreeItem& root, std::u16string_view text, int16_t sub) {
  const CAlternateFmt* format = root.GetFormat();
  return format && ParseValues(*format, text, root, sub);
}

std::u16string GetUnitsText(CTypeTreeItemBase& node) {
  CTypeTreeItem* owner = node.owner;
  const CAlternateFmt* format = owner ? owner->GetFormat() : nullptr;
  if (format) {
    const CFmtStringItem* item = format->FindItem(node.GetName());
    if (item && item->UnitsIndex() > 0)
      return TheEngine().LookupString(owner->pid, static_cast<uint8_t>(item->UnitsScope()),
                                      static_cast<uint32_t>(item->UnitsIndex()));
  }
  return node.GetUnitsRefText();
}

bool GetBoundsText(CTypeTreeItemBase& node, std::u16string& minimum, std::u16string& maximum) {
  CTypeTreeItem* owner = node.owner;
  const CAlternateFmt* format = owner ? owner->GetFormat() : nullptr;
  if (!format) return false;
  double low = 0.0, high = 0.0;
  if (!GetBounds(node, low, high)) return false;
  const std::u16string name = node.GetName();
  minimum = BoundText(*format, name, low);
  maximum = BoundText(*format, name, high);
  return true;
}

}  // namespace vornfmt
