#pragma once
// The ANSI code page: the narrow text that crosses the resource library's
// interface, and the UTF-8/UTF-16 conversions.
//
// Two implementations, chosen by CMake:
//   - code_page_iconv.cpp (everywhere but Windows): Windows-1252 unless
//     configured otherwise; conversions go through iconv, single-byte code
//     pages use a table built once from iconv.
//   - code_page_win32.cpp (Windows): MultiByteToWideChar and
//     WideCharToMultiByte; the calling thread's ANSI code page
//     (CP_THREAD_ACP) unless configured otherwise. Which bytes a code page
//     defines is then what the system's tables say.
#include <optional>
#include <string>
#include <string_view>

namespace vornfmt::codepage {

// Selects the ANSI code page by iconv name ("WINDOWS-1252", "ISO-8859-15",
// "CP932", ...). Answers false, keeping the current one, for an unknown name.
// On Windows the names are "WINDOWS-<n>", "CP<n>" and "IBM<n>" for any code
// page n the system has, and the usual iconv names of the common ones.
bool SetAnsiCodePage(const std::string& name);
// The name given to SetAnsiCodePage; by default "WINDOWS-1252", on Windows
// the name of the thread's ANSI code page ("WINDOWS-1252", "CP932", ...).
std::string AnsiCodePage();

// UTF-16 to ANSI; nullopt when a character has no ANSI form.
std::optional<std::string> ToAnsi(std::u16string_view text);
// ANSI to UTF-16. In a single-byte code page a byte it leaves undefined
// becomes the code unit of the same value (Windows-1252's 81, 8D, 8F, 90, 9D
// become U+0081 ..., as the Windows conversion maps them), and ToAnsi maps
// that unit back; in other code pages invalid bytes become U+FFFD.
std::u16string FromAnsi(std::string_view text);

// UTF-8 to ANSI, characters the code page lacks written as '?';
// invalid UTF-8 sequences are also written as '?'.
std::string Utf8ToAnsi(std::string_view utf8);

// UTF-8 and UTF-16; invalid sequences become U+FFFD / '?'.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace vornfmt::codepage
