#pragma once
// UTF-8 and UTF-16 for the emulation's own texts (hive files, number text),
// without the platform layer's code-page machinery, which sits above it.
// Invalid sequences become U+FFFD.
#ifdef _WIN32
#error "The automation emulation is not for Windows: include platform/automation/oleauto.h"
#endif
#include <string>
#include <string_view>

namespace vornfmt::automation {

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

}  // namespace vornfmt::automation
