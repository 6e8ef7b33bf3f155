#pragma once
// Reads a format file's text and hands each complete entry to a format file:
// comments removed, leading blanks dropped, lines joined until an entry is
// complete, tabs removed. Joining is incremental: the cost is linear in the
// length of the text however many lines an entry spans.
#include <cstdint>
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
  // The text gathered since the last complete entry; what a file that ends
  // here leaves incomplete (and drops).
  const std::string& Pending() const { return text_; }

 private:
  void Scan(size_t from);
  void MatchParen();
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
// The same over a text in memory; answers what the text leaves incomplete at
// its end (empty when nothing), which is dropped.
std::string LoadFormatText(std::string_view text, FormatFileBase& file);

// The most a format file may hold, as for type files: a larger file, or one
// that is not a regular file (a device, a pipe), is not read at all.
inline constexpr std::uintmax_t kMaxFormatFileBytes = std::uintmax_t{64} << 20;

// Reads the format file at `path` and loads every complete entry into
// `file`. False, with the reason in `error` (without the path) and nothing
// loaded, when the file cannot be read or breaks the bound above.
// `unfinished`, when given, receives what the file leaves incomplete.
bool LoadFormatFile(const std::string& path, FormatFileBase& file, std::string& error,
                    std::string* unfinished = nullptr);

}  // namespace vornfmt
