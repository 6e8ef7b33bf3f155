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
  // One pass over the text, keeping the first place of each marker: every
  // marker ends in 'T', which is rare in entry texts, so that is tested first.
  std::array<std::size_t, kMarkers.size()> first;
  first.fill(std::u16string_view::npos);
  for (std::size_t i = 3; i < text.size(); ++i) {
    if (text[i] != u'T') continue;
    const std::u16string_view candidate = text.substr(i - 3, 4);
    for (std::size_t m = 0; m < kMarkers.size(); ++m) {
      if (candidate != kMarkers[m]) continue;
      if (m == 0) return i - 3;  // the first "SNVT" wins outright
      if (first[m] == std::u16string_view::npos) first[m] = i - 3;
      break;
    }
  }
  for (std::size_t at : first) {
    if (at != std::u16string_view::npos) return at;
  }
  return std::u16string_view::npos;
}

}  // namespace vornfmt
