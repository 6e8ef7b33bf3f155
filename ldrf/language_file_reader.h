#pragma once
// Reads a language file (JSON: string index -> UTF-8 text) into ANSI texts.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vornfmt::ldrf {

using LanguageStrings = std::unordered_map<uint32_t, std::string>;

// False with a sentence in error when the text is not a valid language file.
bool ParseLanguageFile(std::string_view text, LanguageStrings& out, std::string& error);

}  // namespace vornfmt::ldrf
