// A whole format file's text through the line joiner (LoadFormatText) into a
// CFmtFile: comments, joined lines, tabs, and what the entry loader makes of
// the joined entries.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "catalog/format_file_loader.h"
#include "format/entry_recorder.h"
#include "format/fmt_file.h"

namespace vornfmt {
namespace {

// The entries handed over, and the file they were loaded into.
struct Loaded {
  CFmtFile file{u"test.fmt"};
  std::vector<std::string> entries;
};

class CollectingFile : public FormatFileBase {
 public:
  explicit CollectingFile(Loaded& loaded) : loaded_(loaded) {}
  void LoadEntry(std::string_view entry) override {
    loaded_.entries.emplace_back(entry);
    loaded_.file.LoadEntry(entry);
  }

 private:
  Loaded& loaded_;
};

void LoadText(Loaded& loaded, const std::string& text) {
  std::istringstream in(text);
  CollectingFile collecting(loaded);
  LoadFormatText(in, collecting);
}

const CFmtStringItem* FirstItem(const CFmtFile& file, std::u16string_view name) {
  const CFmtObject* object = file.FindObject(name);
  if (!object || object->Alternatives().empty()) return nullptr;
  const CAlternateFmt& alternative = *object->Alternatives()[0];
  if (alternative.Children().empty() || alternative.Children()[0]->Items().empty()) return nullptr;
  return alternative.Children()[0]->Items()[0].get();
}

TEST(FormatTextLoadingTest, JoinsLinesAndLoadsTheEntries) {
  Loaded loaded;
  LoadText(loaded,
           "! header comment\n"
           "*SNVT_temp_f#SI:text(\"%f\",\n\t\t*0.1+0);\n"                        // indented continuation
           "SNVT_a:text(\"%d\tkm\",\tv);\n"                                      // tabs inside are removed
           "SNVT_c:text((v!=1)?(\"%d\",v):(\"off\")); ! v!=1 shows the value\n"  // "!=" is no comment
           "UCPT_x:int\n;\n"                                                     // waits for its semicolon
           "garbage;\n"                                                          // no marker: complete at once
           "SNVT_t#SI:int;\n"
           "SNVT_t#LO:real;\n"
           "*SNVT_t#US:real;\n"
           "UCPT_y:int\n");                                                      // never complete: dropped
  EXPECT_EQ(loaded.entries, (std::vector<std::string>{"*SNVT_temp_f#SI:text(\"%f\",*0.1+0)", "SNVT_a:text(\"%dkm\",v)",
                                                      "SNVT_c:text((v!=1)?(\"%d\",v):(\"off\"))", "UCPT_x:int;",
                                                      "garbage;", "SNVT_t#SI:int;", "SNVT_t#LO:real;",
                                                      "*SNVT_t#US:real;"}));
  const CFmtStringItem* scaled = FirstItem(loaded.file, u"SNVT_temp_f");
  ASSERT_NE(scaled, nullptr);
  EXPECT_FLOAT_EQ(scaled->Scale(), 0.1f);
  const CFmtStringItem* tabbed = FirstItem(loaded.file, u"SNVT_a");
  ASSERT_NE(tabbed, nullptr);
  EXPECT_EQ(tabbed->Piece(), u"%skm");
  const CFmtObject* conditional = loaded.file.FindObject(u"SNVT_c");
  ASSERT_NE(conditional, nullptr);
  ASSERT_EQ(conditional->Alternatives().size(), 1u);
  EXPECT_EQ(conditional->Alternatives()[0]->Children()[0]->Kind(), BracketKind::Conditional);
  EXPECT_EQ(conditional->Alternatives()[0]->Children()[0]->Condition(), u"(v!=1)");
  EXPECT_NE(loaded.file.FindObject(u"UCPT_x"), nullptr);
  EXPECT_EQ(loaded.file.FindObject(u"UCPT_y"), nullptr);
  const CFmtObject* measured = loaded.file.FindObject(u"SNVT_t");
  ASSERT_NE(measured, nullptr);
  ASSERT_EQ(measured->Alternatives().size(), 2u);  // the LO entry is dropped by the loader
  EXPECT_EQ(measured->Alternatives()[0]->MeasurementSystem(), u"SI");
  EXPECT_EQ(measured->SelectFormat(u""), measured->Alternatives()[1].get());
}

TEST(FormatTextLoadingTest, ValueWithoutIntRealOrTextSwallowsNextEntry) {
  Loaded loaded;
  LoadText(loaded, "SNVT_a:float;\nSNVT_b:int;\n");
  // "float" completes nothing, so the next line is joined to it; the value
  // of the joined entry (from the first ':') then holds "int".
  EXPECT_EQ(loaded.entries, (std::vector<std::string>{"SNVT_a:float;SNVT_b:int;"}));
  ASSERT_NE(loaded.file.FindObject(u"SNVT_a"), nullptr);
  EXPECT_EQ(loaded.file.FindObject(u"SNVT_a")->Alternatives().size(), 1u);
  EXPECT_EQ(loaded.file.FindObject(u"SNVT_b"), nullptr);
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
