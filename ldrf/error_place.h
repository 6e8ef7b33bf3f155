#pragma once
// Where in a type file a reader stands, for its error messages: a chain of
// places ("nvts SNVT_x", ".field", "[]") on the reader's stack, each pointing
// at its parent. Reading a file that is valid builds no text; the words of
// a message are joined only when it is thrown.
#include <string>
#include <string_view>

namespace vornfmt::ldrf {

struct ErrorPlace {
  constexpr explicit ErrorPlace(std::string_view placeText, const ErrorPlace* parentPlace = nullptr,
                                std::string_view separatorText = {})
      : text(placeText), parent(parentPlace), separator(separatorText) {}

  std::string_view text;
  const ErrorPlace* parent;
  std::string_view separator;  // between the parent's words and this text

  // A place below this one: " name", ".name", "[]".
  ErrorPlace Below(std::string_view separatorText, std::string_view childText) const {
    return ErrorPlace{childText, this, separatorText};
  }
};

// The place's words from the top: "nvts SNVT_x.field[]".
std::string PlaceText(const ErrorPlace& place);

}  // namespace vornfmt::ldrf
