#include "format/alternate_fmt.h"

#include <memory>

namespace vornfmt {

const FormatIndex& CAlternateFmt::Index() const {
  return ArenaOf().KeepOnce(index_, [this] { return std::make_unique<FormatIndex>(*this); });
}

const CFmtStringItem* CAlternateFmt::FindItemOrArrayItem(std::u16string_view name) const {
  if (const CFmtStringItem* item = FindItem(name)) return item;
  const size_t bracket = name.find(u'[');
  return bracket == std::u16string_view::npos ? nullptr : FindItem(name.substr(0, bracket));
}

}  // namespace vornfmt
