#include "ldrf/language_keys.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace vornfmt::ldrf {
namespace {

constexpr std::array<std::string_view, 36> kExtensions = {
    "enu", "eng", "deu", "des", "dea", "fra", "frc", "frb", "fre", "frs", "ita", "esp",
    "esn", "ptb", "ptg", "nld", "nlb", "sve", "nor", "dan", "fin", "isl", "plk", "csy",
    "sky", "hun", "rus", "trk", "ell", "jpn", "kor", "chs", "cht", "heb", "ara", "tha"};

uint32_t KeyOfLowerCase(std::string_view ext) {
  return (uint32_t{static_cast<uint8_t>(ext[0])} << 24) | (uint32_t{static_cast<uint8_t>(ext[1])} << 16) |
         (uint32_t{static_cast<uint8_t>(ext[2])} << 8);
}

}  // namespace

std::optional<uint32_t> LanguageKeyOf(std::string_view extension) {
  if (extension.size() != 3) return std::nullopt;
  std::string lower(extension);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (std::find(kExtensions.begin(), kExtensions.end(), lower) == kExtensions.end()) return std::nullopt;
  return KeyOfLowerCase(lower);
}

bool IsKnownLanguageKey(uint32_t key) { return !ExtensionOfKey(key).empty(); }

std::string ExtensionOfKey(uint32_t key) {
  for (std::string_view ext : kExtensions)
    if (KeyOfLowerCase(ext) == key) return std::string(ext);
  return {};
}

}  // namespace vornfmt::ldrf
