#pragma once
// Text encodings at the edges of the format subsystem.
//
// Everything the format subsystem keeps -- type names, measurement systems,
// format texts, pieces, conditions, value names -- is UTF-16
// (std::u16string), like every other text inside the system: the pieces are
// later handed to the wide-character formatter and the names are compared
// with the names of type-tree nodes, which are UTF-16 as well.
//
// A format file, however, is 8-bit text in the ANSI code page. A CFmtFile
// therefore widens each entry text once, when the entry is loaded, through a
// TextWidener. The default is WidenWindows1252 (the system's default ANSI code
// page); a caller that has configured another code page passes its own
// converter to the CFmtFile (see fmt_file_factory.h).
#include <string>
#include <string_view>

namespace vornfmt {

// Converts one 8-bit entry text to UTF-16.
using TextWidener = std::u16string (*)(std::string_view);

// Windows-1252 to UTF-16. Every byte maps to exactly one code unit, so the
// positions in the widened text are the byte positions of the original; the
// five bytes that code page leaves undefined map to the C1 control of the
// same value.
std::u16string WidenWindows1252(std::string_view text);
// The same into `out`, reusing its storage.
void WidenWindows1252(std::string_view text, std::u16string& out);

// UTF-16 to UTF-8, for printing. An unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// ASCII text to UTF-16 (for literals and numbers written by the tools).
std::u16string FromAscii(std::string_view text);

}  // namespace vornfmt
