#pragma once
// The factory through which the engine creates the format files of the
// catalog: every file becomes a CFmtFile. `widen` converts the 8-bit entry
// texts to UTF-16; pass the converter of the configured ANSI code page (the
// default is Windows-1252).
#include "catalog/format_file_base.h"
#include "format/fmt_file.h"
#include "format/text_encoding.h"

namespace vornfmt {

FormatFileFactory MakeFmtFileFactory(TextWidener widen = WidenWindows1252);

// The format file behind `file` when the factory above made it; else null.
// For tools that list a file's contents: formatting itself asks the base.
const CFmtFile* AsFmtFile(const FormatFileBase* file);

}  // namespace vornfmt
