#include "format/type_name.h"

#include <array>

namespace vornfmt {
namespace {

constexpr std::array<std::u16string_view, 4> kMarkers = {u"SNVT", u"UNVT", u"SCPT", u"UCPT"};

bool Contains(std::u16string_view text, std::u16string_view part) {
  return text.find(part) != std::u16string_view::npos;
}

}  // namespace

bool IsNvtName(std::u16string_view name) {
  return Contains(name, kMarkers[0]) || Contains(name, kMarkers[1]);
}

bool IsCptName(std::u16string_view name) {
  return Contains(name, kMarkers[2]) || Contains(name, kMarkers[3]);
}

bool IsTypeName(std::u16string_view name) { return IsNvtName(name) || IsCptName(name); }

std::size_t FindTypeNameStart(std::u16string_view text) {
  for (std::u16string_view marker : kMarkers) {
    const std::size_t at = text.find(marker);
    if (at != std::u16string_view::npos) return at;
  }
  return std::u16string_view::npos;
}

}  // namespace vornfmt
