#!/usr/bin/env bash
# Instructions of one iteration of a benchmark, counted by callgrind: the
# program runs twice with fixed iteration counts (bench/fixed_iterations.h),
# and the difference of the totals is divided by the difference of the
# counts, so that start-up and set-up drop out.
#
#   bench/callgrind_per_call.sh PROGRAM FILTER [LOW] [HIGH]
#   bench/callgrind_per_call.sh build/bench/bench_convert 'FormatVT/ScaledScalar$'
set -euo pipefail
PROGRAM="$1"
# A fixed count adds "/iterations:N" to every name; a filter anchored at the
# end is anchored before it.
FILTER="${2%\$}"
[ "$FILTER" = "$2" ] || FILTER="$FILTER/iterations:[0-9]+\$"
LOW="${3:-100}"
HIGH="${4:-1100}"
total() {
  local out
  out=$(mktemp)
  VORNFMT_BENCH_ITERATIONS="$1" valgrind --tool=callgrind --callgrind-out-file=/dev/null \
    "$PROGRAM" --benchmark_filter="$FILTER" > /dev/null 2> "$out"
  awk '/Collected :/ {print $NF}' "$out"
  rm -f "$out"
}
low=$(total "$LOW")
high=$(total "$HIGH")
echo "$2: $(( (high - low) / (HIGH - LOW) )) instructions per iteration"
