#include "tools/batch_line_reader.h"

#include <cstring>

namespace vornfmt::tool {

BatchLineReader::BatchLineReader(std::istream& in, size_t maxLine, size_t chunk)
    : in_(in), maxLine_(maxLine), buffer_(maxLine + 1 + chunk) {}

bool BatchLineReader::Fill() {
  if (atEnd_) return false;
  std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  const auto read = in_.rdbuf()->sgetn(buffer_.data() + end_, static_cast<std::streamsize>(buffer_.size() - end_));
  if (read <= 0) {
    atEnd_ = true;
    in_.setstate(std::ios::eofbit);
    return false;
  }
  end_ += static_cast<size_t>(read);
  return true;
}

bool BatchLineReader::SkipRestOfLine() {
  for (;;) {
    const char* start = buffer_.data() + begin_;
    if (const void* newline = std::memchr(start, '\n', end_ - begin_)) {
      begin_ += static_cast<size_t>(static_cast<const char*>(newline) - start) + 1;
      skipping_ = false;
      return true;
    }
    begin_ = end_;
    if (!Fill()) return false;
  }
}

bool BatchLineReader::Next(std::string_view& line, bool& tooLong) {
  if (skipping_ && !SkipRestOfLine()) return false;
  for (;;) {
    const char* start = buffer_.data() + begin_;
    const size_t available = end_ - begin_;
    const void* newline = std::memchr(start, '\n', available);
    const size_t length = newline ? static_cast<size_t>(static_cast<const char*>(newline) - start) : available;
    if (length > maxLine_) {
      // Its start is kept; the rest of the line is dropped on the next call.
      line = std::string_view(start, maxLine_);
      tooLong = true;
      begin_ += maxLine_;
      skipping_ = true;
      return true;
    }
    if (newline || (atEnd_ && available > 0)) {
      line = std::string_view(start, length);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      tooLong = false;
      begin_ += newline ? length + 1 : length;
      return true;
    }
    if (!Fill() && begin_ == end_) return false;
  }
}

}  // namespace vornfmt::tool
