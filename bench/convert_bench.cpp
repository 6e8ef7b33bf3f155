// FormatVT and WriteVT against hand-written floors (bench/floors.h), in the
// same run:
//   ScaledScalar  a 16-bit scalar scaled by the type (0.1) to text;
//   Switch        a two-field structure (0.5-step value, state) to text, the
//                 test type and the shipped SNVT_switch (conditional) in
//                 bench/standard_bench.cpp;
//   WriteText     "21.5" into a 16-bit scalar scaled by 0.1.
#include <benchmark/benchmark.h>

#include "bench/fixed_iterations.h"
#include "bench/floors.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalog/formatter_engine.h"
#include "convert/conversion_drivers.h"
#include "convert/formatter_assembly.h"
#include "convert/variant_convert.h"
#include "platform/automation/oleauto.h"
#include "platform/code_page.h"

namespace {

using namespace vornfmt::bench;

vornfmt::CTypeTreeItem& Load(const char16_t* type) {
  static vornfmt::Formatter* formatter = [] {
    auto* f = vornfmt::AssembleFormatter({.widen = &vornfmt::WidenWindows1252}).release();
    f->Engine().OpenCatalog(vornfmt::codepage::Utf8ToUtf16(std::string(VORNFMT_SOURCE_DIR) + "/tests/data/convert"));
    return f;
  }();
  (void)formatter;
  auto* root = new vornfmt::CTypeTreeItem();
  if (!root->LoadByName(type, u"0000000000000000", 0)) std::abort();
  return *root;
}

void FormatVT(benchmark::State& state, const char16_t* type, std::vector<uint8_t> raw) {
  vornfmt::CTypeTreeItem& root = Load(type);
  VARIANT result;
  VariantInit(&result);
  for (auto _ : state) {
    benchmark::DoNotOptimize(vornfmt::FormatToVariant(root, raw.data(), raw.size(), VT_BSTR, &result, -1));
    VariantClear(&result);
  }
}

void WriteVT_Text(benchmark::State& state) {
  vornfmt::CTypeTreeItem& root = Load(u"UNVT_tenths");
  std::vector<uint8_t> raw(2, 0);
  VARIANT value;
  VariantInit(&value);
  vornfmt::SetBstr(value, u"21.5");
  for (auto _ : state) benchmark::DoNotOptimize(vornfmt::WriteFromVariant(root, raw.data(), raw.size(), &value, -1));
  if (raw[1] != 0xD7) state.SkipWithError("wrong bytes");
  VariantClear(&value);
}

BENCHMARK(Floor_ScaledScalar)->Apply(vornfmt::bench::FixedIterations);
BENCHMARK(Floor_ScaledScalarToChars)->Apply(vornfmt::bench::FixedIterations);
BENCHMARK_CAPTURE(FormatVT, ScaledScalar, u"UNVT_tenths", std::vector<uint8_t>{0x00, 0xEB})->Apply(vornfmt::bench::FixedIterations);
BENCHMARK(Floor_Switch)->Apply(vornfmt::bench::FixedIterations);
BENCHMARK(Floor_SwitchToChars)->Apply(vornfmt::bench::FixedIterations);
BENCHMARK_CAPTURE(FormatVT, Switch, u"UNVT_switch", std::vector<uint8_t>{0x2B, 0x01})->Apply(vornfmt::bench::FixedIterations);
BENCHMARK(Floor_WriteText)->Apply(vornfmt::bench::FixedIterations);
BENCHMARK(WriteVT_Text)->Apply(vornfmt::bench::FixedIterations);

}  // namespace
