// Joining format-file lines into entries.
#include "catalog/format_file_loader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "tests/support/recording_format_file.h"

namespace vornfmt {
namespace {

std::vector<std::string> Load(const std::string& text) {
  test::RecordingFormatFile recorder;
  std::istringstream in(text);
  LoadFormatText(in, recorder);
  return recorder.entries();
}

using Entries = std::vector<std::string>;

TEST(FormatComments, KeepInequalityAndDropTheNote) {
  for (auto [line, kept] : {std::pair<std::string, std::string>{"a != b ! note != c", "a != b "}, {"x!", "x"},
                            {"x!=", "x!="}}) {
    RemoveFormatComment(line);
    EXPECT_EQ(line, kept);
  }
}

TEST(FormatEntries, JoinLinesUntilTheEntryIsComplete) {
  const struct {
    const char* text;
    Entries entries;
  } rows[] = {
      // Indent is removed, the entry is cut after its text.
      {"*SNVT_temp_f#SI:text(\"%f\",\n\t\t*0.1+0);\n", {"*SNVT_temp_f#SI:text(\"%f\",*0.1+0)"}},
      // An int entry is complete with its semicolon.
      {"UCPT_x:int;\n", {"UCPT_x:int;"}},
      {"UCPT_x:int\n", {}},
      {"UCPT_x:int\n;\n", {"UCPT_x:int;"}},
      {"unrelated text;\n", {"unrelated text;"}},  // no marker: complete at its semicolon
      {"! header\nUCPT_x:int;\n", {"UCPT_x:int;"}},  // a whole-line comment adds nothing
      // "!=" is no comment; the note after the entry is
      {"SNVT_c:text((v!=1)?(\"%d\",v):(\"off\")); ! v!=1 shows it\n",
       {"SNVT_c:text((v!=1)?(\"%d\",v):(\"off\"))"}},
      // Parentheses count inside quotes too: the quoted '(' needs a ')' of its own.
      {"SNVT_a:text(\"(%d\",\n(x);\n)\n)\n;rest\nSNVT_b:text(\"%d\");\n",
       {"SNVT_a:text(\"(%d\",(x);))", "SNVT_b:text(\"%d\")"}},
      {"SN\nVT_a:te\nxt(1);\n", {"SNVT_a:text(1)"}},                         // a marker split across lines
      {"SNVT_a:text(\"%d\",\ta);\r\n", {"SNVT_a:text(\"%d\",a)"}},           // tabs removed, CRLF ends a line
      {"SNVT_a:text(\"%d\"\n", {}},                                           // incomplete at the end: dropped
      {"SNVT_a:te;xt\n", {}},  // "text" without its parenthesis never completes
  };
  for (const auto& row : rows) EXPECT_EQ(Load(row.text), row.entries) << row.text;
}

TEST(FormatEntries, ManyLinesOfAnUnendedEntryStayLinear) {
  std::string text = "SNVT_a:text(";
  for (int i = 0; i < 200000; ++i) text += "(\n";
  EXPECT_EQ(Load(text), Entries{});
}

}  // namespace
}  // namespace vornfmt
