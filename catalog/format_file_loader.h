#pragma once
// Reads a format file's text and hands each complete entry to a format file:
// comments removed, leading blanks dropped, lines joined until an entry is
// complete, tabs removed. Joining is incremental: the cost is linear in the
// length of the text however many lines an entry spans.
#include <istream>
#include <string>
#include <string_view>

#include "catalog/format_file_base.h"

namespace vornfmt {

// Drops everything from the first '!' that is not part of "!=".
void RemoveFormatComment(std::string& line);

// Gathers physical lines into entry texts.
class FormatEntryJoiner {
 public:
  // Adds one line (without its line end). True when the gathered text now
  // forms a complete entry, which is moved into `entry` (tabs removed). The
  // storage of `entry` is taken over for gathering the next entry, so a
  // loader that passes the same string every time allocates nothing per line.
  bool Add(std::string_view line, std::string& entry);

 private:
  void Scan(size_t from);
  bool Complete();
  void Reset();

  std::string text_;
  bool hasSemicolon_ = false, hasMarker_ = false, hasIntOrReal_ = false;
  size_t firstText_ = std::string::npos;    // first "text"
  size_t openParen_ = std::string::npos;    // first '(' at or after it
  size_t closeParen_ = std::string::npos;   // the ')' that matches it
  size_t endSemicolon_ = std::string::npos; // first ';' after that
  size_t parenSearchFrom_ = 0, matchFrom_ = 0, semicolonFrom_ = 0;
  long depth_ = 0;
};

// Reads the whole stream line by line and loads every complete entry into file.
void LoadFormatText(std::istream& in, FormatFileBase& file);

}  // namespace vornfmt
