#include "ldrf/language_file_reader.h"

#include <charconv>

#include <nlohmann/json.hpp>

#include "platform/code_page.h"

namespace vornfmt::ldrf {

bool ParseLanguageFile(std::string_view text, LanguageStrings& out, std::string& error) {
  using Json = nlohmann::json;
  Json doc = Json::parse(text.begin(), text.end(), nullptr, false);
  if (doc.is_discarded() || !doc.is_object()) {
    error = "not a JSON object";
    return false;
  }
  auto format = doc.find("format");
  auto version = doc.find("version");
  bool known = format != doc.end() && *format == "vornfmt-language" && version != doc.end() && *version == 1;
  if (!known) {
    error = "\"format\" must be \"vornfmt-language\" with \"version\" 1";
    return false;
  }
  auto strings = doc.find("strings");
  if (strings == doc.end() || !strings->is_object()) {
    error = "\"strings\" must be an object";
    return false;
  }
  out.clear();
  for (auto it = strings->begin(); it != strings->end(); ++it) {
    const std::string& key = it.key();
    uint32_t index = 0;
    auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), index);
    if (ec != std::errc() || end != key.data() + key.size() || index == 0 || !it->is_string()) {
      error = "string \"" + key + "\": the key must be an index from 1 and the value a text";
      return false;
    }
    out[index] = codepage::Utf8ToAnsi(it->get<std::string>());
  }
  return true;
}

}  // namespace vornfmt::ldrf
