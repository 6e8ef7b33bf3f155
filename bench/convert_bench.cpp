// FormatVT and WriteVT against hand-written floors, in the same run:
//   ScaledScalar  a 16-bit scalar scaled by the type (0.1) to text;
//   Switch        a two-field structure (0.5-step value, state) to text;
//   WriteText     "21.5" into a 16-bit scalar scaled by 0.1.
// A floor does only the arithmetic and the snprintf/strtod of the job.
#include <benchmark/benchmark.h>

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

// a x 10^b x (raw + c) with a = 1, b = -1, c = 0.
void Floor_ScaledScalar(benchmark::State& state) {
  const uint8_t raw[2] = {0x00, 0xEB};
  const double a = 1, c = 0, tenth = std::pow(10.0, -1);
  char text[32];
  for (auto _ : state) {
    benchmark::DoNotOptimize(raw);
    const auto v = static_cast<int16_t>(raw[0] << 8 | raw[1]);
    benchmark::DoNotOptimize(std::snprintf(text, sizeof text, "%.15g", a * tenth * (v + c)));
    benchmark::DoNotOptimize(text);
  }
}

void Floor_Switch(benchmark::State& state) {
  const uint8_t raw[2] = {0x2B, 0x01};
  const double a = 5, c = 0, tenth = std::pow(10.0, -1);
  char text[64];
  for (auto _ : state) {
    benchmark::DoNotOptimize(raw);
    int n = std::snprintf(text, sizeof text, "%.15g", a * tenth * (raw[0] + c));
    text[n++] = ' ';
    std::snprintf(text + n, sizeof text - n, "%d", static_cast<int8_t>(raw[1]));
    benchmark::DoNotOptimize(text);
  }
}

void Floor_WriteText(benchmark::State& state) {
  const char* input = "21.5";
  uint8_t raw[2] = {0, 0};
  const double step = 1 * std::pow(10.0, -1);
  for (auto _ : state) {
    benchmark::DoNotOptimize(input);
    const double r = std::strtod(input, nullptr) / step - 0;
    const auto n = static_cast<int32_t>(r > 0 ? std::trunc(r + 0.5) : std::trunc(r - 0.5));
    raw[0] = static_cast<uint8_t>(n >> 8);
    raw[1] = static_cast<uint8_t>(n);
    benchmark::DoNotOptimize(raw);
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

BENCHMARK(Floor_ScaledScalar);
BENCHMARK_CAPTURE(FormatVT, ScaledScalar, u"UNVT_tenths", std::vector<uint8_t>{0x00, 0xEB});
BENCHMARK(Floor_Switch);
BENCHMARK_CAPTURE(FormatVT, Switch, u"UNVT_switch", std::vector<uint8_t>{0x2B, 0x01});
BENCHMARK(Floor_WriteText);
BENCHMARK(WriteVT_Text);

}  // namespace
