#include "catalog/format_file_loader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace vornfmt {
namespace {

constexpr std::array<std::string_view, 4> kTypeMarkers = {"SNVT", "UNVT", "SCPT", "UCPT"};
constexpr size_t kOverlap = 3;  // a 4-letter word may straddle two lines

bool ContainsFrom(const std::string& text, std::string_view word, size_t from) {
  return text.find(word, from) != std::string::npos;
}

// The first `c` in [at, end), else end.
const char* FindChar(const char* at, const char* end, char c) {
  const void* found = std::memchr(at, c, static_cast<size_t>(end - at));
  return found ? static_cast<const char*>(found) : end;
}

// The length of the line without its comment.
size_t WithoutComment(std::string_view line) {
  for (size_t at = line.find('!'); at != std::string_view::npos; at = line.find('!', at + 1)) {
    if (at + 1 < line.size() && line[at + 1] == '=') continue;
    return at;
  }
  return line.size();
}

}  // namespace

void RemoveFormatComment(std::string& line) { line.erase(WithoutComment(line)); }

bool FormatEntryJoiner::Add(std::string_view line, std::string& entry) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  line = line.substr(0, WithoutComment(line));
  size_t start = line.find_first_not_of(" \t\v\f\r\n");
  const size_t oldSize = text_.size();
  if (start != std::string_view::npos) text_.append(line, start);
  Scan(oldSize);
  if (!Complete()) return false;
  if (text_.find('\t') != std::string::npos) text_.erase(std::remove(text_.begin(), text_.end(), '\t'), text_.end());
  entry.swap(text_);
  Reset();
  return true;
}

// Updates what is known about the text from the newly appended part on.
void FormatEntryJoiner::Scan(size_t from) {
  const size_t overlapFrom = from > kOverlap ? from - kOverlap : 0;
  hasSemicolon_ = hasSemicolon_ || ContainsFrom(text_, ";", from);
  for (std::string_view marker : kTypeMarkers) hasMarker_ = hasMarker_ || ContainsFrom(text_, marker, overlapFrom);
  if (firstText_ == std::string::npos) {
    firstText_ = text_.find("text", overlapFrom);
    // "int" and "real" count only for an entry without "text" (Complete).
    if (firstText_ == std::string::npos) {
      hasIntOrReal_ = hasIntOrReal_ || ContainsFrom(text_, "int", overlapFrom) || ContainsFrom(text_, "real", overlapFrom);
      return;
    }
    parenSearchFrom_ = firstText_;
  }
  if (openParen_ == std::string::npos) {
    openParen_ = text_.find('(', parenSearchFrom_);
    parenSearchFrom_ = text_.size();
    if (openParen_ == std::string::npos) return;
    matchFrom_ = openParen_;
  }
  if (closeParen_ == std::string::npos) MatchParen();
  if (closeParen_ == std::string::npos) return;
  if (endSemicolon_ == std::string::npos) {
    endSemicolon_ = text_.find(';', std::max(closeParen_ + 1, semicolonFrom_));
    semicolonFrom_ = text_.size();
  }
}

// Looks for the ')' matching the open parenthesis from where the last look
// stopped, going from parenthesis to parenthesis (memchr) rather than
// character by character: format texts are long, parentheses sparse.
void FormatEntryJoiner::MatchParen() {
  const char* text = text_.data();
  const char* end = text + text_.size();
  const char* open = FindChar(text + matchFrom_, end, '(');
  const char* close = FindChar(text + matchFrom_, end, ')');
  long depth = depth_;
  while (close != end) {
    if (open < close) {
      ++depth;
      open = FindChar(open + 1, end, '(');
    } else if (--depth == 0) {
      closeParen_ = static_cast<size_t>(close - text);
      matchFrom_ = closeParen_ + 1;
      depth_ = depth;
      return;
    } else {
      close = FindChar(close + 1, end, ')');
    }
  }
  for (; open != end; open = FindChar(open + 1, end, '(')) ++depth;
  matchFrom_ = text_.size();
  depth_ = depth;
}

bool FormatEntryJoiner::Complete() {
  if (!hasSemicolon_) return false;
  if (!hasMarker_) return true;
  if (firstText_ != std::string::npos) {
    if (endSemicolon_ == std::string::npos) return false;
    text_.erase(endSemicolon_);
    return true;
  }
  return hasIntOrReal_;
}

// Starts a new entry, keeping the storage of the text.
void FormatEntryJoiner::Reset() {
  std::string text;
  text.swap(text_);
  *this = FormatEntryJoiner();
  text_.swap(text);
  text_.clear();
}

void LoadFormatText(std::istream& in, FormatFileBase& file) {
  FormatEntryJoiner joiner;
  std::string line, entry;
  while (std::getline(in, line))
    if (joiner.Add(line, entry)) file.LoadEntry(entry);
}

std::string LoadFormatText(std::string_view text, FormatFileBase& file) {
  FormatEntryJoiner joiner;
  std::string entry;
  // Lines as std::getline cuts them: a final line end adds no empty line.
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find('\n', start), text.size());
    if (joiner.Add(text.substr(start, end - start), entry)) file.LoadEntry(entry);
    start = end + 1;
  }
  return joiner.Pending();
}

bool LoadFormatFile(const std::string& path, FormatFileBase& file, std::string& error, std::string* unfinished) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec) {
    error = ec.message();
    return false;
  }
  if (!fs::is_regular_file(status)) {
    error = "not a regular file";
    return false;
  }
  const std::uintmax_t size = fs::file_size(path, ec);
  if (!ec && size > kMaxFormatFileBytes) {
    error = "larger than 64 MiB";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot be opened";
    return false;
  }
  // Read in pieces up to one byte past the bound, so that a file growing
  // while it is read is bounded as well.
  std::string text;
  std::array<char, 64 * 1024> buffer;
  while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0) {
    text.append(buffer.data(), static_cast<size_t>(in.gcount()));
    if (text.size() > kMaxFormatFileBytes) {
      error = "larger than 64 MiB";
      return false;
    }
  }
  if (in.bad()) {
    error = "cannot be read";
    return false;
  }
  std::string left = LoadFormatText(std::string_view(text), file);
  if (unfinished) *unfinished = std::move(left);
  return true;
}

}  // namespace vornfmt
