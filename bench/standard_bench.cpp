// FormatVT on the shipped standard catalog, the work behind one line of
// `vornfmt format --batch`:
//   TempP      SNVT_temp_p 0A28 (a scaled scalar under a condition);
//   Switch     SNVT_switch C801 (a two-field structure under a condition),
//              beside its to_chars floor (bench/floors.h);
//   Alarm2, StrAsc  the two largest texts of the set;
//   SwitchThreads  SNVT_switch from one and from two threads;
//   EveryType  every standard type in turn, each with random bytes of its
//              size (the mix bench/batch_input.py writes).
#include <benchmark/benchmark.h>

#include "bench/fixed_iterations.h"
#include "bench/floors.h"

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "catalog/formatter_engine.h"
#include "convert/conversion_drivers.h"
#include "convert/formatter_assembly.h"
#include "platform/automation/oleauto.h"
#include "platform/code_page.h"

namespace {

using namespace vornfmt::bench;

constexpr char16_t kPid[] = u"0000000000000000";
constexpr int kRounds = 32;

void OpenStandardCatalog() {
  static vornfmt::Formatter* formatter = [] {
    auto* f = vornfmt::AssembleFormatter({.widen = &vornfmt::WidenWindows1252}).release();
    f->Engine().OpenCatalog(vornfmt::codepage::Utf8ToUtf16(std::string(VORNFMT_SOURCE_DIR) + "/resources/catalog"));
    return f;
  }();
  (void)formatter;
}

struct Sample {
  vornfmt::CTypeTreeItem* root;
  std::vector<uint8_t> raw;
};

void FormatOne(benchmark::State& state, const char16_t* type, std::vector<uint8_t> raw) {
  OpenStandardCatalog();
  vornfmt::CTypeTreeItem root;
  if (!root.LoadByName(type, kPid, 0)) std::abort();
  VARIANT result;
  VariantInit(&result);
  for (auto _ : state) {
    benchmark::DoNotOptimize(vornfmt::FormatToVariant(root, raw.data(), raw.size(), VT_BSTR, &result, -1));
    VariantClear(&result);
  }
}

// SNVT_switch on one engine from one and from two threads, each with a tree
// of its own: items per second should nearly double on two cores.
void SwitchThreads(benchmark::State& state) {
  OpenStandardCatalog();
  vornfmt::CTypeTreeItem root;
  if (!root.LoadByName(u"SNVT_switch", kPid, 0)) std::abort();
  const uint8_t raw[2] = {0xC8, 0x01};
  VARIANT result;
  VariantInit(&result);
  for (auto _ : state) {
    benchmark::DoNotOptimize(vornfmt::FormatToVariant(root, raw, sizeof raw, VT_BSTR, &result, -1));
    VariantClear(&result);
  }
  state.SetItemsProcessed(state.iterations());
}

void EveryType(benchmark::State& state) {
  OpenStandardCatalog();
  std::vector<std::unique_ptr<vornfmt::CTypeTreeItem>> roots;
  std::vector<Sample> samples;
  std::mt19937 random(20261206);
  for (bool nvt : {true, false}) {
    for (int index = 1; index <= 700; ++index) {
      auto root = std::make_unique<vornfmt::CTypeTreeItem>();
      // Loaded by name, as the tool loads them.
      vornfmt::CTypeTreeItem listed;
      if (!listed.LoadByIndex(static_cast<int16_t>(index), nvt, kPid, 0)) continue;
      if (root->LoadByName(listed.typeName, kPid, 0)) roots.push_back(std::move(root));
    }
  }
  // Types in turn, a fresh buffer each time round.
  for (int round = 0; round < kRounds; ++round) {
    for (const auto& root : roots) {
      std::vector<uint8_t> raw(root->GetSize(true));
      for (uint8_t& byte : raw) byte = static_cast<uint8_t>(random());
      samples.push_back({root.get(), std::move(raw)});
    }
  }
  VARIANT result;
  VariantInit(&result);
  size_t next = 0;
  for (auto _ : state) {
    Sample& s = samples[next];
    next = next + 1 == samples.size() ? 0 : next + 1;
    benchmark::DoNotOptimize(vornfmt::FormatToVariant(*s.root, s.raw.data(), s.raw.size(), VT_BSTR, &result, -1));
    VariantClear(&result);
  }
  state.counters["types"] = static_cast<double>(roots.size());
}

BENCHMARK_CAPTURE(FormatOne, TempP, u"SNVT_temp_p", std::vector<uint8_t>{0x0A, 0x28})->Apply(vornfmt::bench::FixedIterations);
BENCHMARK_CAPTURE(FormatOne, Switch, u"SNVT_switch", std::vector<uint8_t>{0xC8, 0x01})->Apply(vornfmt::bench::FixedIterations);
BENCHMARK(Floor_SwitchToChars)->Apply(vornfmt::bench::FixedIterations);
BENCHMARK(SwitchThreads)->Threads(1)->Threads(2)->UseRealTime();
BENCHMARK(EveryType)->Apply(vornfmt::bench::FixedIterations);
BENCHMARK_CAPTURE(FormatOne, Alarm2, u"SNVT_alarm_2", std::vector<uint8_t>{0xF2, 0x10, 0xBD, 0xE1, 0xD6, 0x85, 0x5F, 0x89, 0x15, 0x1C, 0x0C, 0x7B, 0x69, 0x1E, 0xD9, 0xC4, 0xB6, 0x1E, 0x6B, 0x6B, 0x5E, 0x5E, 0xBF, 0xCF, 0x85, 0x09, 0x21, 0xD5, 0xF0, 0xC1, 0x35})->Apply(vornfmt::bench::FixedIterations);

BENCHMARK_CAPTURE(FormatOne, StrAsc, u"SNVT_str_asc", std::vector<uint8_t>(31, 0x41))->Apply(vornfmt::bench::FixedIterations);

}  // namespace
