#!/usr/bin/env bash
# Lines per second of `vornfmt format --batch` against the library's own
# FormatVT on the same mix, measured in turns so that both see the same
# machine (shared machines change speed from minute to minute).
#
#   bench/batch_throughput.sh [BUILD_DIR] [LINES] [TURNS]
#
# BUILD_DIR needs the tool and bench/bench_standard (-DVORNFMT_BENCH=ON,
# Release).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${1:-build-bench}"
LINES="${2:-1000000}"
TURNS="${3:-3}"
INPUT="${TMPDIR:-/tmp}/vornfmt-batch-$LINES.txt"
[ -s "$INPUT" ] || python3 bench/batch_input.py "$BUILD_DIR/vornfmt" "$LINES" > "$INPUT"
for turn in $(seq "$TURNS"); do
  start=$(date +%s%N)
  "$BUILD_DIR/vornfmt" format --batch < "$INPUT" > /dev/null || true
  end=$(date +%s%N)
  tool_ns=$(( (end - start) / LINES ))
  library_ns=$("$BUILD_DIR/bench/bench_standard" --benchmark_filter=EveryType --benchmark_min_time=1 \
                 --benchmark_format=csv 2>/dev/null | awk -F, '/EveryType/ {printf "%d", $3}')
  echo "turn $turn: tool $tool_ns ns/line ($(( 1000000000 / tool_ns )) lines/s), library FormatVT $library_ns ns"
done
