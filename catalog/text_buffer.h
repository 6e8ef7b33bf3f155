#pragma once
// Narrow text crossing the resource library: out-buffers of 260 bytes with an
// in/out length word, widened from (and narrowed to) the ANSI code page.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace vornfmt {

struct TextBuffer {
  char data[260] = {};
  uint32_t length = 260;

  std::u16string Widen() const {
    std::string_view text(data, length < sizeof data ? length : sizeof data - 1);
    return codepage::FromAnsi(text.substr(0, text.find('\0')));
  }
};

// The narrow form of text; nullopt when the code page cannot hold it.
inline std::optional<std::string> Narrow(std::u16string_view text) { return codepage::ToAnsi(text); }

}  // namespace vornfmt
