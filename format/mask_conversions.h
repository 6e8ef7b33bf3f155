#pragma once
// Masking of a printf-like format text.
//
// 1. Every '%' that is not directly preceded by '\' and is directly followed
//    by 'd', 'f', 'c', 'm' or 'x' gets that letter replaced by 's'. The search
//    for the next '%' goes on at the character after the '%' just handled, so
//    in "%%d" the second '%' is handled too.
// 2. Then, each throughout the text and in this order, "\%" becomes "%%", a
//    backslash before a double quote becomes the double quote, and "\\"
//    becomes a single backslash.
//
// So the bare conversions %d %f %c %m %x %s all read "%s" in the masked text,
// while "%5.2f" or "%-3d" stay as written.
#include <cstddef>
#include <string>
#include <vector>

namespace vornfmt {

void MaskConversions(std::u16string& text);

// As MaskConversions, and also records for every character of the masked
// text the position in the original text it came from. The folds of step 2
// shorten the text; a folded pair maps to the position of its backslash.
// `origin` is left empty when masking kept the length (positions agree).
void MaskConversions(std::u16string& text, std::vector<std::size_t>& origin);

}  // namespace vornfmt
