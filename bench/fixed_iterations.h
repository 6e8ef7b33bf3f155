#pragma once
// Under callgrind a benchmark must run a known number of times, so that the
// instructions of one call are the difference of two runs divided by the
// difference of their counts (bench/callgrind_per_call.sh). With
// VORNFMT_BENCH_ITERATIONS=N in the environment every benchmark that applies
// this runs exactly N iterations; without it Google Benchmark chooses.
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace vornfmt::bench {

inline void FixedIterations(benchmark::internal::Benchmark* b) {
  if (const char* text = std::getenv("VORNFMT_BENCH_ITERATIONS")) {
    const long long n = std::atoll(text);
    if (n > 0) b->Iterations(n);
  }
}

}  // namespace vornfmt::bench
