#include "tools/batch_jobs.h"
#include "tools/batch_line_reader.h"
#include "tools/tool_text.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

namespace vornfmt::tool {
namespace {

// A worker that answers "N:TEXT" per line, refuses lines starting with '!'
// and notes which thread ran it, so the tests see order, ownership and
// messages.
struct Recorder {
  std::atomic<int> workersMade{0};
  std::mutex mutex;
  std::set<std::thread::id> threads;

  std::function<BatchWorker()> Factory() {
    return [this]() -> BatchWorker {
      const int id = workersMade++;
      auto busy = std::make_shared<std::atomic<bool>>(false);
      return [this, id, busy](const BatchLine& line, std::string& out, std::string& messages) {
        EXPECT_FALSE(busy->exchange(true)) << "worker " << id << " used by two threads at once";
        {
          std::lock_guard<std::mutex> guard(mutex);
          threads.insert(std::this_thread::get_id());
        }
        const bool ok = line.text.empty() || line.text[0] != '!';
        out += std::to_string(line.number) + ":" + std::string(line.tooLong ? "<long>" : line.text) + "\n";
        if (!ok) messages += "line " + std::to_string(line.number) + " refused\n";
        busy->store(false);
        return ok;
      };
    };
  }
};

std::string NumberedInput(int lines) {
  std::string text;
  for (int n = 1; n <= lines; ++n) text += "t" + std::to_string(n) + (n % 7 == 0 ? "\r\n" : "\n");
  return text;
}

std::string ExpectedOutput(int lines) {
  std::string text;
  for (int n = 1; n <= lines; ++n) text += std::to_string(n) + ":t" + std::to_string(n) + "\n";
  return text;
}

TEST(BatchJobs, OutputFollowsInputForAnyJobCountAndBlockShape) {
  struct Case {
    size_t jobs;
    int lines;
    BatchJobLimits limits;
  };
  const Case cases[] = {
      {1, 0, {}},         {1, 50, {}},           {2, 50, {}},         {3, 50, {4, 1 << 20}},
      {4, 50, {1, 1 << 20}}, {2, 50, {5, 16}},   {8, 3, {2, 1 << 20}}, {2, 1000, {7, 100}},
  };
  for (const Case& c : cases) {
    Recorder recorder;
    std::istringstream in(NumberedInput(c.lines));
    std::ostringstream out, messages;
    EXPECT_TRUE(RunBatchJobs(in, out, messages, c.jobs, recorder.Factory(), c.limits));
    EXPECT_EQ(out.str(), ExpectedOutput(c.lines)) << c.jobs << " jobs, " << c.lines << " lines";
    EXPECT_EQ(messages.str(), "");
    EXPECT_EQ(recorder.workersMade, static_cast<int>(c.jobs));
  }
}

TEST(BatchJobs, SeveralJobsRunOnSeveralThreads) {
  Recorder recorder;
  std::istringstream in(NumberedInput(400));
  std::ostringstream out, messages;
  RunBatchJobs(in, out, messages, 4, recorder.Factory(), {10, 1 << 20});
  EXPECT_EQ(recorder.threads.size(), 4u);
  EXPECT_EQ(out.str(), ExpectedOutput(400));
}

TEST(BatchJobs, RefusedLinesFailTheBatchAndTheirMessagesComeJustBeforeTheirResults) {
  for (size_t jobs : {1, 2, 3}) {
    Recorder recorder;
    std::istringstream in("a\n!b\nc\n!d\n!e\nf\n");
    std::ostringstream merged;  // results and messages on one stream, as a terminal shows them
    EXPECT_FALSE(RunBatchJobs(in, merged, merged, jobs, recorder.Factory(), {2, 1 << 20}));
    EXPECT_EQ(merged.str(), "1:a\nline 2 refused\n2:!b\n3:c\nline 4 refused\n4:!d\nline 5 refused\n5:!e\n6:f\n")
        << jobs << " jobs";
  }
}

// Lines as the reader cuts them, with a cap of 4 bytes and chunks of 3, so
// that lines and line ends straddle chunk boundaries: "!" marks a line cut
// for being too long.
TEST(BatchLineReader, CutsLinesAtTheCapAndAcrossChunks) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"\n", "[]"},
      {"ab\ncd", "[ab][cd]"},
      {"ab\r\ncd\r\n", "[ab][cd]"},
      {"\r", "[]"},
      {"abcd\nx", "[abcd][x]"},           // exactly the cap
      {"abcd\r\nx", "[abcd!][x]"},       // the CR makes it one byte too long and stays
      {"abcdefghij\nxy\n", "[abcd!][xy]"},  // the rest of a long line is dropped
      {"abcdefghij", "[abcd!]"},
      {"a\n\n\nb", "[a][][][b]"},
  };
  for (const auto& [input, expected] : cases) {
    std::istringstream in(input);
    BatchLineReader reader(in, 4, 3);
    std::string seen;
    std::string_view line;
    bool tooLong = false;
    while (reader.Next(line, tooLong)) seen += "[" + std::string(line) + (tooLong ? "!" : "") + "]";
    EXPECT_EQ(seen, expected) << "input \"" << input << "\"";
    EXPECT_TRUE(in.eof());
  }
}

TEST(BatchJobs, ALineTooLongIsMarkedAndTheNextOneStillRead) {
  Recorder recorder;
  std::istringstream in("x " + std::string(kMaxBatchLine + 10, 'A') + "\nlast");
  std::ostringstream out, messages;
  RunBatchJobs(in, out, messages, 2, recorder.Factory());
  EXPECT_EQ(out.str(), "1:<long>\n2:last\n");
}

}  // namespace
}  // namespace vornfmt::tool
