#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each on a scratch copy of
# its seed corpus: ${FUZZ_RUNS:-50000} inputs from a fixed seed (repeatable),
# or, with FUZZ_SECONDS set, for that long from a random seed.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build-fuzz}"
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DVORNFMT_FUZZ=ON -DVORNFMT_TESTS=OFF -DVORNFMT_TOOLS=OFF -DVORNFMT_DIALOGS=OFF
cmake --build "$BUILD_DIR"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for target in "$BUILD_DIR"/fuzz/fuzz_*; do
  name="$(basename "$target")"
  name="${name#fuzz_}"
  mkdir -p "$work/$name"
  [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$work/$name/"
  echo "--- fuzzing $name"
  if [ -n "${FUZZ_SECONDS:-}" ]; then
    limit=(-max_total_time="$FUZZ_SECONDS")
  else
    runs="${FUZZ_RUNS:-50000}"
    # Targets that write and read a catalog folder per input run a fifth as many.
    case "$name" in whole_path|catalog_include) runs=$(( runs / 5 )) ;; esac
    limit=(-seed=1 -runs="$runs")
  fi
  "$target" "${limit[@]}" -max_len=65536 -artifact_prefix="$work/" "$work/$name" 2>&1 | tail -n 3
done
