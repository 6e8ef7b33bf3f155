#!/usr/bin/env bash
# Builds the threaded tests -- the host with the control module it loads, and
# two threads on one engine -- with ThreadSanitizer, and runs those only (the
# rest of the library is single-threaded per element and covered by the
# other builds).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build-tsan}"
cmake -S . -B "$BUILD_DIR" -G Ninja -DVORNFMT_WERROR=ON -DVORNFMT_TSAN=ON "$@"
cmake --build "$BUILD_DIR" --target test_host_concurrency test_engine_threads
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
  ctest --test-dir "$BUILD_DIR" -R '^(HostThreads|EngineThreads)\.' --output-on-failure
