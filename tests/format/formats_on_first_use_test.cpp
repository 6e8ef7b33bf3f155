// Formats compiled on first use: loading only files the specifications, and
// asking an object for its alternatives compiles them. The shipped format
// files compile to the same alternatives that compiling every entry while
// loading gives (the EntryRecorder loads each entry with LoadWideEntry, which
// compiles at once), object by object.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "catalog/format_file_loader.h"
#include "format/entry_recorder.h"
#include "format/fmt_file.h"
#include "format/format_dump.h"

namespace vornfmt {
namespace {

std::string ShippedPath(std::string_view name) {
  return std::string(VORNFMT_SOURCE_DIR) + "/resources/catalog/" + std::string(name);
}

std::vector<const CFmtObject*> AllObjects(const CFmtFile& file) {
  std::vector<const CFmtObject*> objects = file.NvtObjects();
  for (const CFmtObject* object : file.CptObjects()) objects.push_back(object);
  return objects;
}

// The index of `chosen` among the object's alternatives; -1 for none.
int IndexOf(const CFmtObject& object, const CAlternateFmt* chosen) {
  for (std::size_t i = 0; i < object.Alternatives().size(); ++i) {
    if (object.Alternatives()[i].get() == chosen) return static_cast<int>(i);
  }
  return -1;
}

class ShippedFormatFile : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedFormatFile, CompilesOnFirstUseAsEveryEntryCompiledAtLoad) {
  CFmtFile lazy(u"lazy.fmt");
  CFmtFile eager(u"eager.fmt");
  EntryRecorder recorder(eager);
  std::string error;
  ASSERT_TRUE(LoadFormatFile(ShippedPath(GetParam()), lazy, error)) << error;
  ASSERT_TRUE(LoadFormatFile(ShippedPath(GetParam()), recorder, error)) << error;

  const std::vector<const CFmtObject*> lazy_objects = AllObjects(lazy);
  const std::vector<const CFmtObject*> eager_objects = AllObjects(eager);
  ASSERT_EQ(lazy_objects.size(), eager_objects.size());
  ASSERT_GT(lazy_objects.size(), 10u);
  std::size_t alternatives = 0;
  // Selection first on some objects, the listing first on others: either
  // compiles the object.
  for (std::size_t i = 0; i < lazy_objects.size(); ++i) {
    const CFmtObject& a = *lazy_objects[i];
    const CFmtObject& b = *eager_objects[i];
    ASSERT_EQ(a.Name(), b.Name());
    for (std::u16string_view system : {u"SI", u"US", u"", u"LO"}) {
      if (i % 2 == 0) {
        EXPECT_EQ(IndexOf(a, a.SelectFormat(system)), IndexOf(b, b.SelectFormat(system)));
      } else {
        EXPECT_EQ(DescribeFormatObject(a), DescribeFormatObject(b));
      }
    }
    EXPECT_EQ(DescribeFormatObject(a), DescribeFormatObject(b));
    alternatives += a.Alternatives().size();
  }
  std::size_t added = 0;
  for (const EntryRecord& record : recorder.Records()) added += record.result.outcome == EntryOutcome::Added;
  EXPECT_EQ(alternatives, added);
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedFormatFile, ::testing::Values("standard.fmt", "iot.fmt"));

// One object's entries loaded in steps, some compiled at once (LoadWideEntry)
// and some on first use (LoadEntry), with the object asked between steps:
// the alternatives stay in file order, and LoadWideEntry's alternative is the
// one the object lists.
struct Step {
  bool at_once;
  bool ask_after;
  std::string_view entry;
};

TEST(FormatsOnFirstUse, KeepFileOrderWhateverIsCompiledWhen) {
  const std::vector<std::vector<Step>> cases = {
      {{false, false, "SNVT_a#SI:int;"}, {false, false, "*SNVT_a#US:real;"}, {true, false, "SNVT_a#XX:int;"}},
      {{false, true, "SNVT_a#SI:int;"}, {false, false, "*SNVT_a#US:real;"}, {false, true, "SNVT_a#XX:int;"}},
      {{true, false, "SNVT_a#SI:int;"}, {false, true, "*SNVT_a#US:real;"}, {true, true, "SNVT_a#XX:int;"}},
      {{false, false, "SNVT_a#SI:int;"}, {true, false, "*SNVT_a#US:real;"}, {false, false, "SNVT_a#XX:int;"}},
  };
  for (std::size_t c = 0; c < cases.size(); ++c) {
    CFmtFile file(u"a.fmt");
    std::vector<const CAlternateFmt*> at_once;  // by step; null when loaded for first use
    for (const Step& step : cases[c]) {
      if (step.at_once) {
        const std::u16string wide(step.entry.begin(), step.entry.end());
        at_once.push_back(file.LoadWideEntry(wide).alternative);
      } else {
        file.LoadEntry(step.entry);
        at_once.push_back(nullptr);
      }
      if (step.ask_after) file.FindObject(u"SNVT_a")->SelectFormat(u"SI");
    }
    const CFmtObject& object = *file.FindObject(u"SNVT_a");
    ASSERT_EQ(object.Alternatives().size(), 3u) << c;
    const std::u16string systems[] = {u"SI", u"US", u"XX"};
    for (std::size_t i = 0; i < 3; ++i) {
      const CAlternateFmt& alternative = *object.Alternatives()[i];
      EXPECT_EQ(std::tuple(alternative.MeasurementSystem(), alternative.IsDefault()), std::tuple(systems[i], i == 1))
          << c << " " << i;
      if (at_once[i] != nullptr) {
        EXPECT_EQ(at_once[i], &alternative) << c << " " << i;
      }
    }
    EXPECT_EQ(object.SelectFormat(u"XX"), object.Alternatives()[2].get()) << c;
    EXPECT_EQ(object.SelectFormat(u"none"), object.Alternatives()[1].get()) << c;
  }
}

}  // namespace
}  // namespace vornfmt
