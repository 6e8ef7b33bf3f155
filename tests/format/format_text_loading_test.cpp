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

TEST(FormatTextLoadingTest, JoinsIndentedContinuationAndCutsBeforeSemicolon) {
  Loaded loaded;
  LoadText(loaded, "*SNVT_temp_f#SI:text(\"%f\",\n\t\t*0.1+0);\n");
  EXPECT_EQ(loaded.entries, (std::vector<std::string>{"*SNVT_temp_f#SI:text(\"%f\",*0.1+0)"}));
  const CFmtStringItem* item = FirstItem(loaded.file, u"SNVT_temp_f");
  ASSERT_NE(item, nullptr);
  EXPECT_FLOAT_EQ(item->Scale(), 0.1f);
  EXPECT_TRUE(loaded.file.FindObject(u"SNVT_temp_f")->Alternatives()[0]->IsDefault());
}

TEST(FormatTextLoadingTest, TabsInsideEntryAreRemoved) {
  Loaded loaded;
  LoadText(loaded, "SNVT_a:text(\"%d\tkm\",\tv);\n");
  EXPECT_EQ(loaded.entries, (std::vector<std::string>{"SNVT_a:text(\"%dkm\",v)"}));
  const CFmtStringItem* item = FirstItem(loaded.file, u"SNVT_a");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->Piece(), u"%skm");
}

TEST(FormatTextLoadingTest, CommentRemovedButNotEqualsKept) {
  Loaded loaded;
  LoadText(loaded, "SNVT_a:text((v!=1)?(\"%d\",v):(\"off\")); ! v!=1 shows the value\n");
  EXPECT_EQ(loaded.entries, (std::vector<std::string>{"SNVT_a:text((v!=1)?(\"%d\",v):(\"off\"))"}));
  const CFmtObject* object = loaded.file.FindObject(u"SNVT_a");
  ASSERT_NE(object, nullptr);
  ASSERT_EQ(object->Alternatives().size(), 1u);
  const CBracketsObject& conditional = *object->Alternatives()[0]->Children()[0];
  EXPECT_EQ(conditional.Kind(), BracketKind::Conditional);
  EXPECT_EQ(conditional.Condition(), u"(v!=1)");
}

TEST(FormatTextLoadingTest, IntEntryWaitsForSemicolon) {
  Loaded loaded;
  LoadText(loaded, "UCPT_x:int\n");
  EXPECT_TRUE(loaded.entries.empty()) << "never complete: dropped at the end";
  EXPECT_EQ(loaded.file.FindObject(u"UCPT_x"), nullptr);
  Loaded complete;
  LoadText(complete, "UCPT_x:int;\nUCPT_y:int\n;\n");
  EXPECT_EQ(complete.entries, (std::vector<std::string>{"UCPT_x:int;", "UCPT_y:int;"}));
  EXPECT_NE(complete.file.FindObject(u"UCPT_y"), nullptr);
}

TEST(FormatTextLoadingTest, LineWithoutMarkerCompletesAtOnce) {
  Loaded loaded;
  LoadText(loaded, "garbage;\nSNVT_a:int;\n");
  EXPECT_EQ(loaded.entries, (std::vector<std::string>{"garbage;", "SNVT_a:int;"}));
  EXPECT_NE(loaded.file.FindObject(u"SNVT_a"), nullptr);
}

TEST(FormatTextLoadingTest, CommentOnlyLinesAndLoEntries) {
  Loaded loaded;
  LoadText(loaded,
           "! header comment\n"
           "SNVT_t#SI:int;\n"
           "SNVT_t#LO:real;    ! dropped by the loader\n"
           "*SNVT_t#US:real;\n");
  const CFmtObject* object = loaded.file.FindObject(u"SNVT_t");
  ASSERT_NE(object, nullptr);
  ASSERT_EQ(object->Alternatives().size(), 2u);
  EXPECT_EQ(object->Alternatives()[0]->MeasurementSystem(), u"SI");
  EXPECT_EQ(object->Alternatives()[1]->MeasurementSystem(), u"US");
  EXPECT_EQ(object->SelectFormat(u""), object->Alternatives()[1].get());
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
}

}  // namespace
}  // namespace vornfmt
