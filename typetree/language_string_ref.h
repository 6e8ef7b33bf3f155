#pragma once
// LanguageStringRef: where a text lives in the language files, as the type
// file stores it: a scope and a string index.
#include <cstdint>

namespace vornfmt {

struct LanguageStringRef {
  uint8_t scope = 0;
  uint32_t index = 0;
};

}  // namespace vornfmt
