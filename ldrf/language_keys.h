#pragma once
// The language extensions the library knows, and their 32-bit keys: the three
// letters from the most significant byte down, then a zero byte.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vornfmt::ldrf {

// Key of a known extension (case-insensitive), or nullopt.
std::optional<uint32_t> LanguageKeyOf(std::string_view extension);
// True when key belongs to a known extension.
bool IsKnownLanguageKey(uint32_t key);
// The lower-case extension of a known key ("enu"), or empty.
std::string ExtensionOfKey(uint32_t key);

}  // namespace vornfmt::ldrf
