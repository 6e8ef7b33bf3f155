// Formats compiled on first use, asked for by several threads at once: the
// shipped standard format file is loaded, then threads that start together
// ask for objects never asked for before. Every thread gets the same
// alternative, compiled as one thread compiles it alone. Objects of one file
// share one arena, so threads compiling different objects at once are
// tested too. Built and run under ThreadSanitizer by scripts/tsan.sh.
#include <gtest/gtest.h>

#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "catalog/format_file_loader.h"
#include "format/fmt_file.h"
#include "format/format_dump.h"

namespace vornfmt {
namespace {

constexpr int kThreads = 4;

void LoadStandard(CFmtFile& file) {
  std::string error;
  ASSERT_TRUE(LoadFormatFile(std::string(VORNFMT_SOURCE_DIR) + "/resources/catalog/standard.fmt", file, error))
      << error;
}

std::vector<const CFmtObject*> AllObjects(const CFmtFile& file) {
  std::vector<const CFmtObject*> objects = file.NvtObjects();
  for (const CFmtObject* object : file.CptObjects()) objects.push_back(object);
  return objects;
}

TEST(FormatThreads, OneObjectAskedByThreadsAtOnceCompilesOnce) {
  CFmtFile alone(u"alone.fmt");
  CFmtFile shared(u"shared.fmt");
  LoadStandard(alone);
  LoadStandard(shared);
  for (const std::u16string_view type : {u"SNVT_temp_p", u"SNVT_flow", u"SCPTdefScale"}) {
    const CAlternateFmt* expected = alone.SelectFormat(type, u"US");
    ASSERT_NE(expected, nullptr);
    std::vector<const CAlternateFmt*> chosen(kThreads, nullptr);
    std::vector<std::string> trees(kThreads);
    std::latch start(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        start.arrive_and_wait();
        chosen[t] = shared.SelectFormat(type, u"US");
        trees[t] = DescribeTree(*chosen[t]);
      });
    }
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) {
      EXPECT_EQ(chosen[t], chosen[0]) << t;
      EXPECT_EQ(trees[t], DescribeTree(*expected)) << t;
    }
    EXPECT_EQ(shared.FindObject(type)->Alternatives().size(), alone.FindObject(type)->Alternatives().size());
  }
}

TEST(FormatThreads, ThreadsCompilingDifferentObjectsAtOnceAgree) {
  CFmtFile alone(u"alone.fmt");
  CFmtFile shared(u"shared.fmt");
  LoadStandard(alone);
  LoadStandard(shared);
  const std::vector<const CFmtObject*> objects = AllObjects(shared);
  ASSERT_GT(objects.size(), 500u);
  // Each thread walks every object from a different starting point, listing
  // each; the listings of all threads must be the one-thread listing.
  std::vector<std::vector<std::string>> listings(kThreads, std::vector<std::string>(objects.size()));
  std::latch start(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      start.arrive_and_wait();
      for (std::size_t k = 0; k < objects.size(); ++k) {
        const std::size_t i = (k + t * objects.size() / kThreads) % objects.size();
        listings[t][i] = DescribeFormatObject(*objects[i]);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (std::size_t i = 0; i < objects.size(); ++i) {
    const std::string expected = DescribeFormatObject(*alone.FindObject(objects[i]->Name()));
    for (int t = 0; t < kThreads; ++t) ASSERT_EQ(listings[t][i], expected) << t << " " << i;
  }
}

}  // namespace
}  // namespace vornfmt
