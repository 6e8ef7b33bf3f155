#include "format/entry_recorder.h"

#include "format/format_dump.h"

namespace vornfmt {

void EntryRecorder::LoadEntry(std::string_view entry) {
  EntryRecord record;
  record.number = records_.size() + 1;
  record.text.assign(entry);
  record.result = file_.LoadWideEntry(file_.Widener()(entry));
  record.shows_nothing = record.result.alternative != nullptr && ShowsNothing(*record.result.alternative);
  records_.push_back(std::move(record));
}

std::vector<const EntryRecord*> EntryRecorder::Problems() const {
  std::vector<const EntryRecord*> problems;
  for (const EntryRecord& record : records_) {
    if (record.result.outcome != EntryOutcome::Added || record.shows_nothing) problems.push_back(&record);
  }
  return problems;
}

}  // namespace vornfmt
