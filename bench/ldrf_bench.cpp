// Reading type files: parsing and laying out a ~1 MB generated file and the
// shipped standard set, opening a catalog, expanding a tree, and a find.
#include <benchmark/benchmark.h>

#include "bench/fixed_iterations.h"

#include <string>

#include "ldrf/expanded_tree.h"
#include "ldrf/ldrf.h"
#include "ldrf/type_file_reader.h"

namespace {

// A type file of `count` structure types of ten scaled fields each.
std::string GeneratedTypeFile(int count) {
  std::string text = R"({"format":"vornfmt-types","version":1,
    "set":{"program_id":"0000000000000000","scope":0},"nvts":[)";
  for (int i = 1; i <= count; ++i) {
    if (i > 1) text += ",";
    text += R"({"index":)" + std::to_string(i) + R"(,"name":"SNVT_gen_)" + std::to_string(i) +
            R"(","node":{"kind":"struct","members":[)";
    for (int f = 0; f < 10; ++f) {
      if (f > 0) text += ",";
      text += R"({"kind":"signed long","name":"field_)" + std::to_string(f) +
              R"(","scale":[1,-2,0],"min":-1000,"max":1000,"name_ref":)" + std::to_string(i * 10 + f) + "}";
    }
    text += "]}}";
  }
  return text + "]}";
}

void ParseGeneratedMegabyte(benchmark::State& state) {
  const std::string text = GeneratedTypeFile(1000);
  for (auto _ : state) {
    vornfmt::ldrf::TypeFileData data;
    std::string error;
    benchmark::DoNotOptimize(vornfmt::ldrf::ParseTypeFile(text, data, error));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
  state.counters["file_bytes"] = double(text.size());
}
BENCHMARK(ParseGeneratedMegabyte)->Unit(benchmark::kMillisecond)->Apply(vornfmt::bench::FixedIterations);

// The shipped standard set as read from disk, parsed and laid out: most of
// what opening the standard catalog costs.
void ParseStandardTypeFile(benchmark::State& state) {
  std::string text, error;
  if (!vornfmt::ldrf::ReadWholeFile(std::string(VORNFMT_SOURCE_DIR) + "/resources/catalog/standard.typ", text, error))
    state.SkipWithError(error.c_str());
  for (auto _ : state) {
    vornfmt::ldrf::TypeFileData data;
    if (!vornfmt::ldrf::ParseTypeFile(text, data, error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(data.nvts.data());
  }
  state.counters["file_bytes"] = double(text.size());
}
BENCHMARK(ParseStandardTypeFile)->Unit(benchmark::kMillisecond)->Apply(vornfmt::bench::FixedIterations);

void OpenStandardCatalog(benchmark::State& state) {
  const std::string folder = std::string(VORNFMT_SOURCE_DIR) + "/resources/catalog";
  for (auto _ : state) {
    LdrfHandle catalog = 0;
    if (LdrfOpenCatalog(folder.c_str(), 1, &catalog) != LDRF_OK) state.SkipWithError("no catalog");
    LdrfCloseCatalog(catalog);
  }
}
BENCHMARK(OpenStandardCatalog)->Unit(benchmark::kMillisecond)->Apply(vornfmt::bench::FixedIterations);

void FindFieldInWideStructure(benchmark::State& state) {
  const std::string text = GeneratedTypeFile(1);
  vornfmt::ldrf::TypeFileData data;
  std::string error;
  vornfmt::ldrf::ParseTypeFile(text, data, error);
  vornfmt::ldrf::ExpandedTree tree(data.nvts[0]);
  for (auto _ : state) benchmark::DoNotOptimize(tree.FindFrom(0, "field_7"));
}
BENCHMARK(FindFieldInWideStructure)->Apply(vornfmt::bench::FixedIterations);

}  // namespace
