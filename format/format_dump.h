#pragma once
// Readable listings of compiled formats, for the `formats` command and for
// people who write format files. Texts are written as UTF-8 in double quotes,
// with control characters, '"' and '\' escaped.
#include <string>
#include <string_view>

#include "format/brackets_object.h"
#include "format/fmt_object.h"

namespace vornfmt {

// True when no item of the tree can ever show any text: the tree has no item
// that is not a Literal with an empty piece.
bool ShowsNothing(const CBracketsObject& node);

// One line per node and item, indented two blanks per level.
std::string DescribeTree(const CBracketsObject& node, int indent = 0);

// The object's name and each alternative with its measurement system,
// default flag and tree.
std::string DescribeFormatObject(const CFmtObject& object, int indent = 0);

// `text` as a quoted, escaped UTF-8 string.
std::string Quoted(std::u16string_view text);

}  // namespace vornfmt
