// Joining format-file lines into entries.
#include "catalog/format_file_loader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace vornfmt {
namespace {

class Recorder : public FormatFileBase {
 public:
  void LoadEntry(std::string_view entry) override { entries.emplace_back(entry); }
  std::vector<std::string> entries;
};

std::vector<std::string> Load(const std::string& text) {
  Recorder recorder;
  std::istringstream in(text);
  LoadFormatText(in, recorder);
  return recorder.entries;
}

using Entries = std::vector<std::string>;

TEST(FormatComments, KeepInequalityAndDropTheNote) {
  std::string line = "a != b ! note != c";
  RemoveFormatComment(line);
  EXPECT_EQ(line, "a != b ");
  std::string bang = "x!";
  RemoveFormatComment(bang);
  EXPECT_EQ(bang, "x");
  std::string trailing = "x!=";
  RemoveFormatComment(trailing);
  EXPECT_EQ(trailing, "x!=");
}

TEST(FormatEntries, JoinsLinesRemovesIndentAndCutsAfterTheText) {
  EXPECT_EQ(Load("*SNVT_temp_f#SI:text(\"%f\",\n\t\t*0.1+0);\n"), Entries{"*SNVT_temp_f#SI:text(\"%f\",*0.1+0)"});
}

TEST(FormatEntries, IntEntryIsCompleteWithItsSemicolon) {
  EXPECT_EQ(Load("UCPT_x:int;\n"), Entries{"UCPT_x:int;"});
  EXPECT_EQ(Load("UCPT_x:int\n"), Entries{});
  EXPECT_EQ(Load("UCPT_x:int\n;\n"), Entries{"UCPT_x:int;"});
}

TEST(FormatEntries, TextWithoutMarkerCompletesAtItsSemicolon) {
  EXPECT_EQ(Load("unrelated text;\n"), Entries{"unrelated text;"});
}

TEST(FormatEntries, WaitsForTheMatchingParenthesis) {
  // Parentheses count inside quotes too: the quoted '(' needs a ')' of its own.
  EXPECT_EQ(Load("SNVT_a:text(\"(%d\",\n(x);\n)\n)\n;rest\nSNVT_b:text(\"%d\");\n"),
            (Entries{"SNVT_a:text(\"(%d\",(x);))", "SNVT_b:text(\"%d\")"}));
}

TEST(FormatEntries, MarkerSplitAcrossLinesStillCounts) {
  EXPECT_EQ(Load("SN\nVT_a:te\nxt(1);\n"), Entries{"SNVT_a:text(1)"});
}

TEST(FormatEntries, TabsInsideAreRemovedAndCrlfIsALineEnd) {
  EXPECT_EQ(Load("SNVT_a:text(\"%d\",\ta);\r\n"), Entries{"SNVT_a:text(\"%d\",a)"});
}

TEST(FormatEntries, IncompleteTextAtTheEndIsDropped) {
  EXPECT_EQ(Load("SNVT_a:text(\"%d\"\n"), Entries{});
  EXPECT_EQ(Load("SNVT_a:te;xt\n"), Entries{});  // "text" without its parenthesis never completes
}

TEST(FormatEntries, ManyLinesOfAnUnendedEntryStayLinear) {
  std::string text = "SNVT_a:text(";
  for (int i = 0; i < 200000; ++i) text += "(\n";
  EXPECT_EQ(Load(text), Entries{});
}

}  // namespace
}  // namespace vornfmt
