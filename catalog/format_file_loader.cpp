#include "catalog/format_file_loader.h"

#include <algorithm>
#include <array>

namespace vornfmt {
namespace {

constexpr std::array<std::string_view, 4> kTypeMarkers = {"SNVT", "UNVT", "SCPT", "UCPT"};
constexpr size_t kOverlap = 3;  // a 4-letter word may straddle two lines

bool ContainsFrom(const std::string& text, std::string_view word, size_t from) {
  return text.find(word, from) != std::string::npos;
}

}  // namespace

void RemoveFormatComment(std::string& line) {
  for (size_t at = line.find('!'); at != std::string::npos; at = line.find('!', at + 1)) {
    if (at + 1 < line.size() && line[at + 1] == '=') continue;
    line.erase(at);
    return;
  }
}

bool FormatEntryJoiner::Add(std::string line, std::string& entry) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  RemoveFormatComment(line);
  size_t start = line.find_first_not_of(" \t\v\f\r\n");
  const size_t oldSize = text_.size();
  if (start != std::string::npos) text_.append(line, start);
  Scan(oldSize);
  if (!Complete()) return false;
  text_.erase(std::remove(text_.begin(), text_.end(), '\t'), text_.end());
  entry = std::move(text_);
  Reset();
  return true;
}

// Updates what is known about the text from the newly appended part on.
void FormatEntryJoiner::Scan(size_t from) {
  const size_t overlapFrom = from > kOverlap ? from - kOverlap : 0;
  hasSemicolon_ = hasSemicolon_ || ContainsFrom(text_, ";", from);
  for (std::string_view marker : kTypeMarkers) hasMarker_ = hasMarker_ || ContainsFrom(text_, marker, overlapFrom);
  hasIntOrReal_ = hasIntOrReal_ || ContainsFrom(text_, "int", overlapFrom) || ContainsFrom(text_, "real", overlapFrom);
  if (firstText_ == std::string::npos) {
    firstText_ = text_.find("text", overlapFrom);
    if (firstText_ == std::string::npos) return;
    parenSearchFrom_ = firstText_;
  }
  if (openParen_ == std::string::npos) {
    openParen_ = text_.find('(', parenSearchFrom_);
    parenSearchFrom_ = text_.size();
    if (openParen_ == std::string::npos) return;
    matchFrom_ = openParen_;
  }
  for (; closeParen_ == std::string::npos && matchFrom_ < text_.size(); ++matchFrom_) {
    if (text_[matchFrom_] == '(') ++depth_;
    if (text_[matchFrom_] == ')' && --depth_ == 0) closeParen_ = matchFrom_;
  }
  if (closeParen_ == std::string::npos) return;
  if (endSemicolon_ == std::string::npos) {
    endSemicolon_ = text_.find(';', std::max(closeParen_ + 1, semicolonFrom_));
    semicolonFrom_ = text_.size();
  }
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

void FormatEntryJoiner::Reset() { *this = FormatEntryJoiner(); }

void LoadFormatText(std::istream& in, FormatFileBase& file) {
  FormatEntryJoiner joiner;
  std::string line, entry;
  while (std::getline(in, line))
    if (joiner.Add(std::move(line), entry)) file.LoadEntry(entry);
}

}  // namespace vornfmt
