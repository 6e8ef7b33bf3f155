// The engine: catalog, type-file table, TypesCount, format-file loading,
// locale and language strings, and the program-ID text rule it searches by.
#include "catalog/formatter_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "catalog/program_id.h"
#include "tests/support/recording_format_file.h"
#include "tests/support/scripted_library.h"

namespace vornfmt::test {
namespace {

std::u16string Folder(const char* name) {
  std::string path = std::string(VORNFMT_TEST_DATA) + "/" + name;
  return std::u16string(path.begin(), path.end());
}

class Engine : public testing::Test {
 protected:
  LdrfApi library = ScriptedLdrf();
  FormatterEngine engine{library};
  std::vector<std::string> entries;
  int filesMade = 0;

  void OpenWithRecorder(const char* folder) {
    engine.SetFormatFileFactory([this](const std::u16string&) {
      ++filesMade;
      return std::make_unique<RecordingFormatFile>(&entries);
    });
    engine.OpenCatalog(Folder(folder));
  }
  using Language_ = std::pair<std::u16string, uint32_t>;  // the locale ID and the language key
  Language_ Language() { return {engine.LocaleId(), engine.LanguageKey()}; }
};

TEST_F(Engine, StartsInEnglishAndAMissingCatalogLeavesEveryFindEmpty) {
  EXPECT_EQ(Language(), Language_(u"enu", 0x656E7500u));
  EXPECT_EQ(std::tuple(engine.HasCatalog(), engine.FindTypeFile(u"00", 0), engine.TypesCount(u"00", 0, 0)),
            std::tuple(false, nullptr, 0));
  OpenWithRecorder("no-such-catalog");
  EXPECT_EQ(std::tuple(engine.HasCatalog(), filesMade, engine.FindFormatFile(u"0000000000000000", 0),
                       engine.TypesCount(u"0000000000000000", 0, 0)),
            std::tuple(false, 0, nullptr, 0));
}

TEST_F(Engine, OpensTypeFilesLazilyAndKeepsOneEntryPerPath) {
  engine.OpenCatalog(Folder("catalog-a"));
  EXPECT_TRUE(engine.HasCatalog());
  EXPECT_TRUE(engine.FormatFiles().empty());  // without a factory, no format files
  CTypeFile* first = engine.FindTypeFile(u"0000000000000000", 0);
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(first->IsOpen());
  EXPECT_EQ(TheScript().openFileCalls, 0);
  EXPECT_EQ(engine.FindTypeFile(u"FFFFFFFFFFFFFFFF", 0), first);  // scope 0 applies to every device
  EXPECT_EQ(engine.FindTypeFile(u"", 0), nullptr);
  EXPECT_EQ(engine.TypeFiles().size(), 1u);
  EXPECT_EQ(engine.TypesCount(u"0000000000000000", 0, 0), 6);
  EXPECT_TRUE(first->IsOpen());
  EXPECT_TRUE(first->Open());
  EXPECT_EQ(TheScript().openFileCalls, 1);  // Open on an open file does not call the library
  // TypesCount ignores its flag and answers zero for unknown devices.
  EXPECT_EQ(std::tuple(engine.TypesCount(u"8000010000000000", 3, 0), engine.TypesCount(u"8000010000000000", 3, 1),
                       engine.TypesCount(u"8000020000000000", 3, 0), engine.TypesCount(u"8000010000000000", 7, 0)),
            std::tuple(2, 2, 0, 0));
}

TEST_F(Engine, LoadsEveryListedFormatFileAtOpening) {
  OpenWithRecorder("catalog-a");
  EXPECT_EQ(filesMade, 2);
  ASSERT_EQ(engine.FormatFiles().size(), 2u);
  EXPECT_EQ(entries, (std::vector<std::string>{"SNVT_level:text(\"%f\",*1+0)", "SNVT_record:text(\"%d %d %m\",f1,g1,g2)",
                                               "UNVT_new:text(\"%d\",*1+0)"}));
  EXPECT_NE(engine.FindFormatFile(u"8000010000000000", 3), nullptr);
  EXPECT_NE(engine.FindFormatFile(u"8000010000000000", 3), engine.FindFormatFile(u"00", 0));
  EXPECT_EQ(engine.FindFormatFile(u"0000000102000000", 1), nullptr);  // that set has no format file
  engine.CloseCatalog();
  EXPECT_TRUE(engine.FormatFiles().empty());
  EXPECT_EQ(engine.FindFormatFile(u"00", 0), nullptr);
}

TEST_F(Engine, SamePathListedTwiceLeavesOneEntryTheLaterFile) {
  TheScript().sameFormatPathTwice = true;
  OpenWithRecorder("catalog-a");
  EXPECT_EQ(std::tuple(TheScript().catalogGetFileCalls, filesMade, engine.FormatFiles().size()), std::tuple(2, 2, 1u));
}

TEST_F(Engine, LocaleIdChangesTheLanguageOfStringsAndAFailedOneResetsTheKeyButKeepsTheText) {
  engine.OpenCatalog(Folder("catalog-a"));
  EXPECT_EQ(engine.LookupString(u"00", 0, 1), u"Level");
  EXPECT_EQ(engine.LookupString(u"00", 0, 4), u"Gr\u00FC\u00DFe");
  engine.SetLocaleId("deu");
  EXPECT_EQ(Language(), Language_(u"deu", 0x64657500u));
  EXPECT_EQ(engine.LookupString(u"00", 0, 1), u"Pegel");
  EXPECT_EQ(engine.LookupString(u"00", 0, 2), u"");  // not in the German file
  EXPECT_EQ(engine.LookupString(u"00", 0, 99), u"");
  EXPECT_EQ(engine.LookupString(u"00", 5, 1), u"");  // no set of that scope
  engine.SetLocaleId("xyz");
  EXPECT_EQ(Language(), Language_(u"deu", 0x656E7500u));
  EXPECT_EQ(engine.LookupString(u"00", 0, 1), u"Level");
  engine.SetLocaleId(std::string(80, 'd'));  // longer than the library's field
  EXPECT_EQ(engine.LocaleId(), u"deu");
  TheScript().failLanguageInfo = true;
  engine.SetLocaleId("fra");
  EXPECT_EQ(Language(), Language_(u"deu", 0x656E7500u));
  TheScript().failStringStop = true;  // a failed stop of the string service gives the empty text
  EXPECT_EQ(engine.LookupString(u"00", 0, 1), u"");
}

// Names by value, falling back to the last member; members appended in
// order; values found case-sensitively.
TEST_F(Engine, TypeFileEnumerations) {
  engine.OpenCatalog(Folder("catalog-a"));
  CTypeFile* file = engine.FindTypeFile(u"00", 0);
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(file->Open());
  std::vector<std::u16string> names = {u"before"};
  file->GetEnumMembers(1, names);
  EXPECT_EQ(names, (std::vector<std::u16string>{u"before", u"alpha", u"beta", u"gamma"}));
  file->GetEnumMembers(9, names);
  EXPECT_EQ(names.size(), 4u);
  int32_t value = -1;
  EXPECT_TRUE(file->FindEnumValue(u"gamma", 1, value));
  EXPECT_EQ(value, 2);
  EXPECT_FALSE(file->FindEnumValue(u"Gamma", 1, value));
  EXPECT_FALSE(file->FindEnumValue(u"alpha", 2, value));
  EXPECT_FALSE(file->FindEnumValue(u"alpha", 9, value));
  EXPECT_EQ(file->GetEnumMemberName(1, 1), u"beta");
  EXPECT_EQ(file->GetEnumMemberName(42, 1), u"gamma");
  EXPECT_EQ(file->GetEnumMemberName(0, 2), u"");  // empty set: no last member
  EXPECT_EQ(file->GetEnumMemberName(0, 9), u"");  // no such set
  TheScript().failMemberCount = true;
  EXPECT_EQ(file->GetEnumMemberName(42, 1), u"");
  EXPECT_EQ(file->GetEnumMemberName(2, 1), u"gamma");
}

TEST(TypeFile, UnopenableFileCountsNoTypes) {
  CTypeFile file(NativeLdrf(), u"/no/such/file.typ", 1);
  EXPECT_EQ(file.TypesCount(), 0);
  EXPECT_FALSE(file.IsOpen());
}


TEST(ProgramIdRule, ConvertsHexadecimalText) {
  const struct {
    std::u16string text;
    ProgramIdBytes bytes;
  } rows[] = {{u"9FFFFF0501840460", {0x9F, 0xFF, 0xFF, 0x05, 0x01, 0x84, 0x04, 0x60}},
              {u"9fffff0501840460", {0x9F, 0xFF, 0xFF, 0x05, 0x01, 0x84, 0x04, 0x60}},
              {u"ABC:12", {0x0A, 0xBC, 0, 0, 0, 0, 0, 0}},          // cut at ':', odd count
              {u"", {0, 0, 0, 0, 0, 0, 0, 0}},
              {u"G1", {0, 0, 0, 0, 0, 0, 0, 0}},                    // no leading digit at all
              {u"1", {0x01, 0, 0, 0, 0, 0, 0, 0}},
              {u"0102030405060708090A", {1, 2, 3, 4, 5, 6, 7, 8}},  // beyond 16 digits ignored
              {u"12 34", {0x12, 0, 0, 0, 0, 0, 0, 0}},
              {u"\uFF11\uFF12", {0, 0, 0, 0, 0, 0, 0, 0}}};         // full-width digits are not hex
  for (const auto& row : rows) EXPECT_EQ(ProgramIdFromText(row.text), row.bytes) << row.text.size();
}

}  // namespace
}  // namespace vornfmt::test
