// The ANSI code page and UTF conversions.
#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/critical_section.h"

namespace vornfmt {
namespace {

using namespace codepage;

TEST(CodePage, Windows1252IsTheDefault) {
  EXPECT_EQ(AnsiCodePage(), "WINDOWS-1252");
  EXPECT_EQ(FromAnsi("\x80\xFC"), u"\u20AC\u00FC");
  EXPECT_EQ(ToAnsi(u"\u20AC\u00FC"), std::optional<std::string>("\x80\xFC"));
  EXPECT_EQ(FromAnsi(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));  // NUL is a character too
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::u16string wide = FromAnsi(all);
  EXPECT_EQ(wide.find(u'\uFFFD'), std::u16string::npos);
  EXPECT_EQ(ToAnsi(wide), std::optional<std::string>(all));  // every byte survives the round trip
}

// Windows-1252 leaves five bytes undefined. The Windows conversion maps each
// to the C1 control of the same value and back, so these bytes travel
// through text like every other; they must not become U+FFFD (which came
// back as the byte FD).
TEST(CodePage, UndefinedBytesAndMissingCharacters) {
  for (const unsigned char byte : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    const std::string narrow(1, static_cast<char>(byte));
    const std::u16string wide(1, static_cast<char16_t>(byte));
    EXPECT_EQ(FromAnsi(narrow), wide) << "byte " << int{byte};
    EXPECT_EQ(ToAnsi(wide), std::optional<std::string>(narrow)) << "byte " << int{byte};
    EXPECT_EQ(Utf8ToAnsi(Utf16ToUtf8(wide)), narrow) << "byte " << int{byte};
  }
  EXPECT_EQ(ToAnsi(u"\u0100"), std::nullopt);      // no ANSI form
  EXPECT_EQ(ToAnsi(u"\uFFFD"), std::nullopt);
  EXPECT_EQ(Utf8ToAnsi("x\xF0\x9F\x98\x80y"), "x?y");  // one '?' for a character outside the BMP
  EXPECT_EQ(Utf8ToAnsi("\xC3\xBC\xFF"), "\xFC?");      // invalid UTF-8 byte
}

TEST(CodePage, UtfRoundTripAndInvalidInput) {
  const std::u16string text = u"Gr\u00FC\u00DFe \u65E5\U0001F600";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf8ToUtf16("a\x80" "b"), u"a\uFFFDb");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "?");  // lone surrogate
}

TEST(CodePage, CanBeSwitchedAndRefusesUnknownNames) {
  EXPECT_FALSE(SetAnsiCodePage("NO-SUCH-CODEPAGE"));
  EXPECT_EQ(AnsiCodePage(), "WINDOWS-1252");
  ASSERT_TRUE(SetAnsiCodePage("ISO-8859-15"));
  EXPECT_EQ(FromAnsi("\xA4"), u"\u20AC");
  ASSERT_TRUE(SetAnsiCodePage("CP932"));  // a multi-byte code page goes through iconv
  EXPECT_EQ(FromAnsi("\x93\xFA"), u"\u65E5");
  EXPECT_EQ(ToAnsi(u"\u65E5"), std::optional<std::string>("\x93\xFA"));
  ASSERT_TRUE(SetAnsiCodePage("WINDOWS-1252"));
  EXPECT_EQ(FromAnsi("\xA4"), u"\u00A4");
}

TEST(CriticalSection, IsReentrantAndExcludesOtherThreads) {
  CMyCriticalSection lock;
  int counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 10000; ++i) {
        std::lock_guard outer(lock);
        std::lock_guard inner(lock);  // the same thread takes it again
        ++counter;
      }
    });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(counter, 40000);
}

}  // namespace
}  // namespace vornfmt
