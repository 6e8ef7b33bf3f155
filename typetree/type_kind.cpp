#include "typetree/type_kind.h"

#include <array>

namespace vornfmt {

std::u16string_view KindName(int32_t kind) {
  static constexpr std::array<std::u16string_view, 17> kNames = {
      u"unknown",     u"char",          u"unsigned char", u"signed short", u"unsigned short",
      u"signed long", u"unsigned long", u"enum",          u"array",        u"struct",
      u"union",       u"bitfield",      u"float",         u"signed quad",  u"reference",
      u"unsigned quad", u"double float"};
  if (kind < 1 || kind > kKindDoubleFloat) return kNames[0];
  return kNames[static_cast<size_t>(kind)];
}

}  // namespace vornfmt
