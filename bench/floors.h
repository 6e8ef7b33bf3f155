#pragma once
// Hand-written floors for the conversion benchmarks: each does only the
// arithmetic and the number writing or reading of the job. The snprintf and
// strtod floors are the first ones kept for comparison with earlier runs; the
// to_chars floors write their digits with the routine the library itself
// uses ("%.15g" through std::to_chars), so the ratio to them is the cost of
// the library's own work.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace vornfmt::bench {

// a x 10^b x (raw + c) with a = 1, b = -1, c = 0.
inline void Floor_ScaledScalar(benchmark::State& state) {
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

inline void Floor_ScaledScalarToChars(benchmark::State& state) {
  const uint8_t raw[2] = {0x00, 0xEB};
  const double a = 1, c = 0, tenth = std::pow(10.0, -1);
  char text[32];
  for (auto _ : state) {
    benchmark::DoNotOptimize(raw);
    const auto v = static_cast<int16_t>(raw[0] << 8 | raw[1]);
    benchmark::DoNotOptimize(std::to_chars(text, text + sizeof text, a * tenth * (v + c), std::chars_format::general, 15));
    benchmark::DoNotOptimize(text);
  }
}

// A switch: a 0.5-step value and a signed state, separated by a space.
inline void Floor_Switch(benchmark::State& state) {
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

inline void Floor_SwitchToChars(benchmark::State& state) {
  const uint8_t raw[2] = {0x2B, 0x01};
  const double a = 5, c = 0, tenth = std::pow(10.0, -1);
  char text[64];
  for (auto _ : state) {
    benchmark::DoNotOptimize(raw);
    char* end = std::to_chars(text, text + sizeof text, a * tenth * (raw[0] + c), std::chars_format::general, 15).ptr;
    *end++ = ' ';
    std::to_chars(end, text + sizeof text, static_cast<int8_t>(raw[1]));
    benchmark::DoNotOptimize(text);
  }
}

// "21.5" into a 16-bit scalar scaled by 0.1: read, unscale, round, store.
inline void Floor_WriteText(benchmark::State& state) {
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

}  // namespace vornfmt::bench
