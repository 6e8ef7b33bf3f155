// A format file's text through the line joiner (LoadFormatText) into a
// CFmtFile: an entry that swallows the next, and the recorder of dropped and
// empty entries.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "catalog/format_file_loader.h"
#include "format/entry_recorder.h"
#include "format/fmt_file.h"
#include "tests/support/recording_format_file.h"

namespace vornfmt {
namespace {

TEST(FormatTextLoadingTest, ValueWithoutIntRealOrTextSwallowsNextEntry) {
  CFmtFile file(u"test.fmt");
  test::RecordingFormatFile loaded(nullptr, &file);
  std::istringstream in("SNVT_a:float;\nSNVT_b:int;\n");
  LoadFormatText(in, loaded);
  // "float" completes nothing, so the next line is joined to it; the value
  // of the joined entry (from the first ':') then holds "int".
  EXPECT_EQ(loaded.entries(), (std::vector<std::string>{"SNVT_a:float;SNVT_b:int;"}));
  ASSERT_NE(file.FindObject(u"SNVT_a"), nullptr);
  EXPECT_EQ(file.FindObject(u"SNVT_a")->Alternatives().size(), 1u);
  EXPECT_EQ(file.FindObject(u"SNVT_b"), nullptr);
}

TEST(FormatTextLoadingTest, RecorderListsDroppedAndEmptyEntries) {
  CFmtFile file(u"check.fmt");
  EntryRecorder recorder(file);
  std::istringstream in(
      "SNVT_ok:text(\"%d\",v);\n"
      "SNVT_lo#LO:int;\n"
      "SNVT_nokey int;\n"
      "print SNVT_none:bool;\n"
      "SNVT_empty:text(\"unterminated);\n"
      "nothing;\n");
  LoadFormatText(in, recorder);
  ASSERT_EQ(recorder.Records().size(), 6u);
  std::vector<std::string> problems;
  for (const EntryRecord* record : recorder.Problems()) problems.push_back(record->text);
  EXPECT_EQ(problems, (std::vector<std::string>{"SNVT_lo#LO:int;", "SNVT_nokey int;", "print SNVT_none:bool;",
                                                "SNVT_empty:text(\"unterminated)", "nothing;"}));
  EXPECT_EQ(recorder.Records()[1].result.outcome, EntryOutcome::MeasurementLO);
  EXPECT_EQ(recorder.Records()[2].result.outcome, EntryOutcome::NoKey);
  EXPECT_EQ(recorder.Records()[3].result.outcome, EntryOutcome::NoSpecification);
  EXPECT_EQ(recorder.Records()[5].result.outcome, EntryOutcome::NoTypeName);
  EXPECT_EQ(recorder.Records()[4].result.outcome, EntryOutcome::Added);
  EXPECT_TRUE(recorder.Records()[4].shows_nothing);
  EXPECT_FALSE(recorder.Records()[0].shows_nothing);
  EXPECT_NE(file.FindObject(u"SNVT_ok"), nullptr);
  EXPECT_EQ(file.FindObject(u"SNVT_lo"), nullptr);  // an LO entry adds nothing, not even the object
}

}  // namespace
}  // namespace vornfmt
