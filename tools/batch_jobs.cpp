#include "tools/batch_jobs.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "tools/batch_line_reader.h"
#include "tools/tool_text.h"

namespace vornfmt::tool {
namespace {

// A slice's results as pieces, each the messages of a line and the results
// from that line on until the next line with messages: written in turn,
// they keep the order of a one-line-at-a-time run on a merged stream.
struct Piece {
  std::string messages;
  std::string out;
};

struct SliceResult {
  std::vector<Piece> pieces{1};
  bool allOk = true;
};

// A block of lines: their texts one after another in `bytes`, each line's
// view into it.
struct Block {
  std::string bytes;
  std::vector<BatchLine> lines;
};

// The next block: up to `maxLines` lines, ending early once it holds
// `maxBytes` bytes. No lines at the end of the input.
void ReadBlock(BatchLineReader& reader, size_t maxLines, size_t maxBytes, size_t& number, Block& block) {
  block.bytes.clear();
  block.lines.clear();
  std::vector<size_t> starts;
  std::string_view text;
  BatchLine line;
  while (block.lines.size() < maxLines && block.bytes.size() < maxBytes && reader.Next(text, line.tooLong)) {
    line.number = ++number;
    starts.push_back(block.bytes.size());
    block.bytes.append(text).push_back('\n');
    block.lines.push_back(line);
  }
  // The views are made once the bytes no longer move.
  for (size_t i = 0; i < block.lines.size(); ++i) {
    const size_t end = i + 1 < starts.size() ? starts[i + 1] : block.bytes.size();
    block.lines[i].text = std::string_view(block.bytes).substr(starts[i], end - starts[i] - 1);
  }
}

void FormatSlice(const BatchWorker& worker, const BatchLine* first, const BatchLine* last, SliceResult& result) {
  std::string messages;
  for (const BatchLine* line = first; line != last; ++line) {
    std::string& out = result.pieces.back().out;
    const size_t start = out.size();
    result.allOk = worker(*line, out, messages) && result.allOk;
    if (messages.empty()) continue;
    // The line's messages go before its result.
    Piece piece{std::move(messages), out.substr(start)};
    out.resize(start);
    result.pieces.push_back(std::move(piece));
    messages.clear();
  }
}

}  // namespace

bool RunBatchJobs(std::istream& in, std::ostream& out, std::ostream& messages, size_t jobs,
                  const std::function<BatchWorker()>& makeWorker, const BatchJobLimits& limits) {
  jobs = std::max<size_t>(jobs, 1);
  std::vector<BatchWorker> workers;
  for (size_t job = 0; job < jobs; ++job) workers.push_back(makeWorker());
  bool allOk = true;
  size_t number = 0;
  BatchLineReader reader(in);
  Block read;
  for (;;) {
    ReadBlock(reader, limits.linesPerJob * jobs, limits.blockBytes, number, read);
    const std::vector<BatchLine>& block = read.lines;
    if (block.empty()) break;
    // Slices as even as the block allows; the calling thread does the first.
    const size_t perJob = (block.size() + jobs - 1) / jobs;
    std::vector<SliceResult> results(jobs);
    std::vector<std::jthread> threads;
    for (size_t job = 1; job < jobs && job * perJob < block.size(); ++job) {
      const BatchLine* first = block.data() + job * perJob;
      const BatchLine* last = block.data() + std::min(block.size(), (job + 1) * perJob);
      threads.emplace_back([&, job, first, last] { FormatSlice(workers[job], first, last, results[job]); });
    }
    FormatSlice(workers[0], block.data(), block.data() + std::min(block.size(), perJob), results[0]);
    threads.clear();  // joins
    for (const SliceResult& result : results) {
      for (const Piece& piece : result.pieces) {
        if (!piece.messages.empty()) {
          out.flush();
          messages << piece.messages;
        }
        out << piece.out;
      }
      allOk = allOk && result.allOk;
    }
  }
  out.flush();
  return allOk;
}

}  // namespace vornfmt::tool
