// The shipped standard format file (resources/catalog/standard.fmt), loaded
// the way the engine loads it: every one of the 590 standard types has a
// format object whose alternatives compile to trees that show values in every
// branch; a type with two alternatives has one SI and one US, each selected by
// its measurement system, and every type has exactly one default. The file's
// text (names, units references, conversions) is audited against the type and
// language files by tests/standard/test_standard_catalog.py.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "catalog/format_file_loader.h"
#include "format/fmt_file.h"
#include "platform/code_page.h"

namespace vornfmt {
namespace {

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
      bool all = !node.Children().empty();
      for (const auto& child : node.Children()) all = ShowsValues(*child, items) && all;
      return all;
    }
  }
  return false;
}

TEST(StandardFormats, EveryTypeHasCompiledAlternativesWithOneDefault) {
  CFmtFile file(u"standard.fmt");
  std::ifstream in(std::string(VORNFMT_SOURCE_DIR) + "/resources/catalog/standard.fmt", std::ios::binary);
  ASSERT_TRUE(in);
  LoadFormatText(in, file);
  ASSERT_EQ(file.NvtCount() + file.CptCount(), 590u);  // 210 SNVTs, 380 SCPTs
  std::vector<const CFmtObject*> objects = file.NvtObjects();
  for (const CFmtObject* object : file.CptObjects()) objects.push_back(object);
  size_t withUs = 0;
  for (const CFmtObject* object : objects) {
    const std::string name = codepage::Utf16ToUtf8(object->Name());
    std::map<std::u16string, int> systems;
    int defaults = 0;
    for (const auto& alternative : object->Alternatives()) {
      ++systems[alternative->MeasurementSystem()];
      defaults += alternative->IsDefault() ? 1 : 0;
      std::vector<const CFmtStringItem*> items;
      EXPECT_TRUE(ShowsValues(*alternative, items)) << name;
      for (const CFmtStringItem* item : items) {
        EXPECT_NE(item->Kind(), ConversionKind::Other) << name;
        EXPECT_FALSE(item->Name().empty()) << name << ": an item without a value name";
      }
    }
    EXPECT_EQ(defaults, 1) << name;
    if (object->Alternatives().size() == 1) {
      EXPECT_EQ(systems.count(u"SI"), 0u) << name << ": an SI alternative without a US one";
      continue;
    }
    ++withUs;
    EXPECT_EQ(systems, (std::map<std::u16string, int>{{u"SI", 1}, {u"US", 1}})) << name;
    for (const char16_t* system : {u"SI", u"US"})
      EXPECT_EQ(object->SelectFormat(system)->MeasurementSystem(), system) << name;
  }
  EXPECT_GT(withUs, 100u);
  // The conversions of two temperatures.
  for (const auto& [type, offset] : {std::pair{u"SNVT_temp_p", 32.0f}, {u"SNVT_temp_diff_p", 0.0f}}) {
    const CFmtObject* object = file.FindObject(type);
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(object->SelectFormat(u"SI")->IsDefault());
    std::vector<const CFmtStringItem*> items;
    ShowsValues(*object->SelectFormat(u"US"), items);
    ASSERT_FALSE(items.empty());
    EXPECT_FLOAT_EQ(items.front()->Scale(), 1.8f);
    EXPECT_FLOAT_EQ(items.front()->Offset(), offset);
  }
}

}  // namespace
}  // namespace vornfmt
