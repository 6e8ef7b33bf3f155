// The shipped standard format file (resources/catalog/standard.fmt), loaded
// the way the engine loads it, checked against the shipped type file and the
// English and German language files:
//
//  - every type of standard.typ has a format object with alternatives;
//  - every alternative compiles to a tree that shows values in every branch;
//  - a type with a US alternative has exactly one SI and one US alternative,
//    and every type has exactly one default;
//  - every units reference resolves to a non-empty text in English and German;
//  - no format text holds a conversion with a flag, width or precision (such
//    a sequence is plain text, not a conversion).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "catalog/format_file_loader.h"
#include "format/fmt_file.h"
#include "ldrf/ldrf.h"
#include "tests/ldrf/ldrf_test_support.h"

namespace vornfmt {
namespace {

const std::string kCatalogFolder = std::string(VORNFMT_SOURCE_DIR) + "/resources/catalog";
const std::string kFormatFile = kCatalogFolder + "/standard.fmt";
const uint8_t kStandardPid[8] = {0, 0, 0, 0, 0, 0, 0, 0};
constexpr uint32_t kEnglish = 0x656E7500;  // "enu"
constexpr uint32_t kGerman = 0x64657500;   // "deu"

std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

// The names of every type of the standard type file, read through the
// resource-file library (network-variable and configuration-property types).
struct StandardTypes {
  std::vector<std::string> names;
  std::string error;

  StandardTypes() {
    test::OpenedCatalog catalog(kCatalogFolder);
    uint16_t tag = 0;
    test::OpenedTypeFile file(catalog.Search(test::Pid({}), 0, LDRF_KIND_TYPE_FILE, &tag), tag);
    uint16_t count = 0;
    if (file.result != LDRF_OK || LdrfGetTypeFileInfo(file.handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                      nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                      nullptr, &count, nullptr, nullptr) != LDRF_OK) {
      error = "cannot open the standard type file";
      return;
    }
    // Indexes have gaps; no table reaches index 1000.
    for (int table = 0; table < 2; ++table) {
      for (uint16_t index = 1; index < 1000 && names.size() < count; ++index) {
        LdrfHandle tree = 0;
        const LdrfResult r =
            table == 0 ? LdrfGetNVT(file.handle, index, &tree)
                       : LdrfGetCPT(file.handle, index, &tree, nullptr, nullptr, nullptr, nullptr, nullptr);
        if (r != LDRF_OK) continue;
        const test::NodeRead root =
            LdrfScanTypeTree(tree, nullptr, nullptr) == LDRF_OK ? test::ReadNode(tree) : test::NodeRead{};
        if (root.result == LDRF_OK || root.result == LDRF_MORE) names.push_back(root.name);
        LdrfFreeTypeTree(tree);
      }
    }
    if (names.size() != count) error = "read " + std::to_string(names.size()) + " of " + std::to_string(count) + " types";
  }
};

// A text of the standard set's language file of `language`; ok false when the
// library has none.
std::string LanguageText(uint32_t language, uint8_t scope, uint32_t index, bool& ok) {
  LdrfHandle service = 0;
  ok = false;
  if (LdrfStartStringService(language, kCatalogFolder.c_str(), &service) != LDRF_OK) return "";
  char text[260] = {};
  uint32_t length = sizeof text;
  ok = LdrfStringServiceRequest(service, kStandardPid, scope, index, text, &length) == LDRF_OK;
  LdrfStopStringService(&service);
  return ok ? std::string(text, length) : "";
}

// Every item below `node`, and whether every branch of every conditional and
// every group shows at least one value.
bool ShowsValues(const CBracketsObject& node, std::vector<const CFmtStringItem*>& items) {
  switch (node.Kind()) {
    case BracketKind::Items: {
      bool value = false;
      for (const auto& item : node.Items()) {
        items.push_back(&*item);
        value = value || item->Kind() != ConversionKind::Literal;
      }
      return value;
    }
    case BracketKind::Conditional: {
      const bool then_shows = node.ThenBranch() && ShowsValues(*node.ThenBranch(), items);
      const bool else_shows = node.ElseBranch() && ShowsValues(*node.ElseBranch(), items);
      return then_shows && else_shows;
    }
    case BracketKind::Group: {
      if (node.Children().empty()) return false;
      bool all = true;
      for (const auto& child : node.Children()) all = ShowsValues(*child, items) && all;
      return all;
    }
  }
  return false;
}

// The format texts of every Items node below `node`.
void FormatTexts(const CBracketsObject& node, std::vector<std::u16string>& out) {
  if (node.Kind() == BracketKind::Items) out.push_back(node.FormatText());
  if (node.ThenBranch()) FormatTexts(*node.ThenBranch(), out);
  if (node.ElseBranch()) FormatTexts(*node.ElseBranch(), out);
  for (const auto& child : node.Children()) FormatTexts(*child, out);
}

// The first '%' sequence of `text` that is not a bare conversion or "%%", or
// an empty text.
std::string BadConversion(const std::u16string& text) {
  static const std::u16string letters = u"fdxcsm";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'%') continue;
    if (i + 1 < text.size() && text[i + 1] == u'%') {
      ++i;
      continue;
    }
    if (i + 1 >= text.size() || letters.find(text[i + 1]) == std::u16string::npos)
      return Narrow(text.substr(i, 4));
  }
  return "";
}

class StandardFormatsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    file_ = new CFmtFile(u"standard.fmt");
    std::ifstream in(kFormatFile, std::ios::binary);
    ASSERT_TRUE(in) << "cannot read " << kFormatFile;
    LoadFormatText(in, *file_);
  }
  static void TearDownTestSuite() {
    delete file_;
    file_ = nullptr;
  }

  static std::vector<const CFmtObject*> Objects() {
    std::vector<const CFmtObject*> all = file_->NvtObjects();
    for (const CFmtObject* object : file_->CptObjects()) all.push_back(object);
    return all;
  }

  static CFmtFile* file_;
};

CFmtFile* StandardFormatsTest::file_ = nullptr;

TEST_F(StandardFormatsTest, EveryStandardTypeHasAFormat) {
  StandardTypes types;
  ASSERT_EQ(types.error, "");
  ASSERT_EQ(types.names.size(), 590u);  // 210 SNVTs, 380 SCPTs
  std::vector<std::string> missing;
  std::set<std::string> known(types.names.begin(), types.names.end());
  for (const std::string& name : types.names) {
    const CFmtObject* object = file_->FindObject(std::u16string(name.begin(), name.end()));
    if (!object || object->Alternatives().empty()) missing.push_back(name);
  }
  EXPECT_TRUE(missing.empty()) << missing.size() << " types without a format, the first: " << missing.front();
  // And the file names no type that the type file lacks.
  for (const CFmtObject* object : Objects()) EXPECT_TRUE(known.count(Narrow(object->Name()))) << Narrow(object->Name());
  EXPECT_EQ(file_->NvtCount() + file_->CptCount(), 590u);
}

TEST_F(StandardFormatsTest, EveryAlternativeShowsValuesInEveryBranch) {
  std::size_t alternatives = 0;
  for (const CFmtObject* object : Objects()) {
    for (const auto& alternative : object->Alternatives()) {
      ++alternatives;
      std::vector<const CFmtStringItem*> items;
      EXPECT_TRUE(ShowsValues(*alternative, items))
          << Narrow(object->Name()) << "#" << Narrow(alternative->MeasurementSystem());
      for (const CFmtStringItem* item : items) {
        EXPECT_NE(item->Kind(), ConversionKind::Other) << Narrow(object->Name()) << " " << Narrow(item->Name());
        EXPECT_FALSE(item->Name().empty()) << Narrow(object->Name()) << ": an item without a value name";
      }
    }
  }
  EXPECT_GE(alternatives, 590u);
}

TEST_F(StandardFormatsTest, MeasurementSystemsAndDefaults) {
  std::size_t with_us = 0;
  for (const CFmtObject* object : Objects()) {
    std::map<std::string, int> systems;
    int defaults = 0;
    for (const auto& alternative : object->Alternatives()) {
      ++systems[Narrow(alternative->MeasurementSystem())];
      defaults += alternative->IsDefault() ? 1 : 0;
    }
    const std::string name = Narrow(object->Name());
    EXPECT_EQ(defaults, 1) << name;
    if (systems.count("US")) {
      ++with_us;
      EXPECT_EQ(systems["US"], 1) << name;
      EXPECT_EQ(systems["SI"], 1) << name;
      EXPECT_EQ(object->Alternatives().size(), 2u) << name;
      // Each measurement system selects its own alternative.
      ASSERT_NE(object->SelectFormat(u"US"), nullptr);
      EXPECT_EQ(object->SelectFormat(u"US")->MeasurementSystem(), u"US") << name;
      EXPECT_EQ(object->SelectFormat(u"SI")->MeasurementSystem(), u"SI") << name;
    } else {
      EXPECT_EQ(object->Alternatives().size(), 1u) << name;
      EXPECT_EQ(systems.count("SI"), 0u) << name << ": an SI alternative without a US one";
    }
  }
  EXPECT_GT(with_us, 100u);
  // Spot checks of the conversions.
  const CFmtObject* temp = file_->FindObject(u"SNVT_temp_p");
  ASSERT_NE(temp, nullptr);
  std::vector<const CFmtStringItem*> items;
  ShowsValues(*temp->SelectFormat(u"US"), items);
  ASSERT_FALSE(items.empty());
  EXPECT_FLOAT_EQ(items.front()->Scale(), 1.8f);
  EXPECT_FLOAT_EQ(items.front()->Offset(), 32.0f);
  EXPECT_TRUE(temp->SelectFormat(u"SI")->IsDefault());
  const CFmtObject* diff = file_->FindObject(u"SNVT_temp_diff_p");
  ASSERT_NE(diff, nullptr);
  items.clear();
  ShowsValues(*diff->SelectFormat(u"US"), items);
  ASSERT_FALSE(items.empty());
  EXPECT_FLOAT_EQ(items.front()->Scale(), 1.8f);
  EXPECT_FLOAT_EQ(items.front()->Offset(), 0.0f);
}

TEST_F(StandardFormatsTest, UnitsReferencesResolveInEnglishAndGerman) {
  std::map<std::pair<int, int>, std::string> checked;  // (scope, index) -> first user
  for (const CFmtObject* object : Objects()) {
    for (const auto& alternative : object->Alternatives()) {
      std::vector<const CFmtStringItem*> items;
      ShowsValues(*alternative, items);
      for (const CFmtStringItem* item : items) {
        if (item->UnitsIndex() <= 0) continue;
        checked.emplace(std::make_pair(item->UnitsScope() & 0xFF, item->UnitsIndex()),
                        Narrow(object->Name()) + " " + Narrow(item->Name()));
      }
    }
  }
  EXPECT_GT(checked.size(), 100u);
  for (const auto& [ref, user] : checked) {
    for (uint32_t language : {kEnglish, kGerman}) {
      bool ok = false;
      const std::string text =
          LanguageText(language, static_cast<uint8_t>(ref.first), static_cast<uint32_t>(ref.second), ok);
      EXPECT_TRUE(ok && !text.empty()) << "units " << ref.first << ":" << ref.second << " of " << user
                                       << " in language " << std::hex << language;
    }
  }
  // The US units have German texts of their own.
  bool ok = false;
  EXPECT_EQ(LanguageText(kGerman, 0, 10001, ok), "Grad Fahrenheit");
  EXPECT_EQ(LanguageText(kEnglish, 0, 10001, ok), "degrees Fahrenheit");
}

TEST_F(StandardFormatsTest, NoConversionWithFlagsWidthOrPrecision) {
  for (const CFmtObject* object : Objects()) {
    for (const auto& alternative : object->Alternatives()) {
      std::vector<std::u16string> texts;
      FormatTexts(*alternative, texts);
      EXPECT_FALSE(texts.empty()) << Narrow(object->Name());
      for (const std::u16string& text : texts)
        EXPECT_EQ(BadConversion(text), "") << Narrow(object->Name()) << ": \"" << Narrow(text) << "\"";
    }
  }
}

}  // namespace
}  // namespace vornfmt
