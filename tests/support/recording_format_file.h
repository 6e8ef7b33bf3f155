#pragma once
// The one fake format file of the tests: it records every entry text the
// loader hands over, into a list of its own or one the test keeps (so that
// the files a factory makes share it), and passes each on to `next` when it
// stands in front of a real file.
#include <string>
#include <string_view>
#include <vector>

#include "catalog/format_file_base.h"

namespace vornfmt::test {

class RecordingFormatFile : public FormatFileBase {
 public:
  explicit RecordingFormatFile(std::vector<std::string>* entries = nullptr, FormatFileBase* next = nullptr)
      : entries_(entries ? entries : &own_), next_(next) {}
  void LoadEntry(std::string_view entry) override {
    entries_->emplace_back(entry);
    if (next_) next_->LoadEntry(entry);
  }
  const std::vector<std::string>& entries() const { return *entries_; }

 private:
  std::vector<std::string> own_;
  std::vector<std::string>* entries_;
  FormatFileBase* next_;
};

}  // namespace vornfmt::test
