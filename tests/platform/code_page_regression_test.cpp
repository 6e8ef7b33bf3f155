// Faults found in the ANSI code-page conversions, each pinned by its case.
#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"

namespace vornfmt {
namespace {

using namespace codepage;

// Windows-1252 leaves five bytes undefined. The Windows conversion maps each
// to the C1 control of the same value and back, so these bytes travel
// through text like every other; they must not become U+FFFD (which came
// back as the byte FD).
TEST(CodePageRegression, UndefinedWindows1252BytesMapToC1Controls) {
  for (const unsigned char byte : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    const std::string narrow(1, static_cast<char>(byte));
    const std::u16string wide(1, static_cast<char16_t>(byte));
    EXPECT_EQ(FromAnsi(narrow), wide) << "byte " << int{byte};
    EXPECT_EQ(ToAnsi(wide), std::optional<std::string>(narrow)) << "byte " << int{byte};
    EXPECT_EQ(Utf8ToAnsi(Utf16ToUtf8(wide)), narrow) << "byte " << int{byte};
  }
}

TEST(CodePageRegression, EveryWindows1252ByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::u16string wide = FromAnsi(all);
  EXPECT_EQ(wide.find(u'\uFFFD'), std::u16string::npos);
  EXPECT_EQ(ToAnsi(wide), std::optional<std::string>(all));
}

}  // namespace
}  // namespace vornfmt
