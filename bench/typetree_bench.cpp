// Building and decoding the trees of two standard types: SNVT_alarm_2 (six
// fields, one a 22-character array) and SNVT_str_asc (a 31-character array).
#include <benchmark/benchmark.h>

#include "bench/fixed_iterations.h"

#include <string>
#include <vector>

#include "catalog/formatter_engine.h"
#include "platform/code_page.h"
#include "typetree/codec.h"
#include "typetree/type_tree_item.h"

namespace {

constexpr char16_t kPid[] = u"0000000000000000";

vornfmt::FormatterEngine& Engine() {
  static vornfmt::FormatterEngine* engine = [] {
    auto* e = new vornfmt::FormatterEngine();
    e->OpenCatalog(vornfmt::codepage::Utf8ToUtf16(std::string(VORNFMT_SOURCE_DIR) + "/resources/catalog"));
    vornfmt::InstallEngine(e);
    return e;
  }();
  return *engine;
}

void BuildTree(benchmark::State& state, const char16_t* type) {
  Engine();
  for (auto _ : state) {
    vornfmt::CTypeTreeItem root;
    benchmark::DoNotOptimize(root.LoadByName(type, kPid, 0));
    benchmark::DoNotOptimize(root.GetSubfieldCount());
  }
}

void DecodeTree(benchmark::State& state, const char16_t* type) {
  Engine();
  vornfmt::CTypeTreeItem root;
  if (!root.LoadByName(type, kPid, 0)) {
    state.SkipWithError("type not found");
    return;
  }
  std::vector<uint8_t> raw(root.GetSize(true), 0x41);
  for (auto _ : state) benchmark::DoNotOptimize(vornfmt::Decode(root, raw.data(), raw.size()));
  state.counters["subfields"] = root.GetSubfieldCount();
}

void EncodeTree(benchmark::State& state, const char16_t* type) {
  Engine();
  vornfmt::CTypeTreeItem root;
  if (!root.LoadByName(type, kPid, 0)) {
    state.SkipWithError("type not found");
    return;
  }
  std::vector<uint8_t> raw(root.GetSize(true), 0x41);
  vornfmt::Decode(root, raw.data(), raw.size());
  for (auto _ : state) benchmark::DoNotOptimize(vornfmt::Encode(root, raw.data(), raw.size(), nullptr));
}

BENCHMARK_CAPTURE(BuildTree, SNVT_alarm_2, u"SNVT_alarm_2")->Apply(vornfmt::bench::FixedIterations);
BENCHMARK_CAPTURE(BuildTree, SNVT_str_asc, u"SNVT_str_asc")->Apply(vornfmt::bench::FixedIterations);
BENCHMARK_CAPTURE(DecodeTree, SNVT_alarm_2, u"SNVT_alarm_2")->Apply(vornfmt::bench::FixedIterations);
BENCHMARK_CAPTURE(DecodeTree, SNVT_str_asc, u"SNVT_str_asc")->Apply(vornfmt::bench::FixedIterations);
BENCHMARK_CAPTURE(EncodeTree, SNVT_alarm_2, u"SNVT_alarm_2")->Apply(vornfmt::bench::FixedIterations);
BENCHMARK_CAPTURE(EncodeTree, SNVT_str_asc, u"SNVT_str_asc")->Apply(vornfmt::bench::FixedIterations);

}  // namespace
