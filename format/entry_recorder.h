#pragma once
// EntryRecorder: a format file that loads every entry into a CFmtFile and
// keeps what happened to it, so that a tool can list the entries of a format
// file that were dropped or that compile to a format showing nothing.
#include <string>
#include <string_view>
#include <vector>

#include "catalog/format_file_base.h"
#include "format/fmt_file.h"

namespace vornfmt {

struct EntryRecord {
  std::size_t number = 0;  // 1 for the first entry handed over
  std::string text;        // the entry as handed over (8-bit)
  EntryResult result;
  bool shows_nothing = false;  // added, but its format can never show text
};

class EntryRecorder : public FormatFileBase {
 public:
  explicit EntryRecorder(CFmtFile& file) : file_(file) {}

  void LoadEntry(std::string_view entry) override;

  const std::vector<EntryRecord>& Records() const { return records_; }
  // The records of entries that were not added, or that show nothing.
  std::vector<const EntryRecord*> Problems() const;

 private:
  CFmtFile& file_;
  std::vector<EntryRecord> records_;
};

}  // namespace vornfmt
