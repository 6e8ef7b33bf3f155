// The language-file reader.
#include "ldrf/language_file_reader.h"

#include <gtest/gtest.h>

namespace vornfmt::ldrf {
namespace {

TEST(LanguageFileReader, ReadsIndexedTextsIntoTheAnsiCodePage) {
  LanguageStrings strings;
  std::string error;
  ASSERT_TRUE(ParseLanguageFile(R"({"format":"vornfmt-language","version":1,
                                    "strings":{"1":"°C","4294967295":"last","7":"日本"}})",
                                strings, error))
      << error;
  EXPECT_EQ(strings.at(1), "\xB0" "C");
  EXPECT_EQ(strings.at(4294967295u), "last");
  EXPECT_EQ(strings.at(7), "??");  // not in Windows-1252
}

TEST(LanguageFileReader, RefusesMalformedFiles) {
  for (const char* text : {
           "", "[]", R"({"format":"vornfmt-language","version":{}})",  // once crashed the reader
           R"({"format":"vornfmt-language","version":2,"strings":{}})",
           R"({"format":"vornfmt-language","version":1,"strings":[]})",
           R"({"format":"vornfmt-language","version":1,"strings":{"0":"zero"}})",
           R"({"format":"vornfmt-language","version":1,"strings":{"4294967296":"too big"}})",
           R"({"format":"vornfmt-language","version":1,"strings":{"1x":"junk"}})",
           R"({"format":"vornfmt-language","version":1,"strings":{"1":2}})"}) {
    LanguageStrings strings;
    std::string error;
    EXPECT_FALSE(ParseLanguageFile(text, strings, error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

}  // namespace
}  // namespace vornfmt::ldrf
