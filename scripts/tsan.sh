#!/usr/bin/env bash
# Builds the threaded host test and the control module it loads with
# ThreadSanitizer, and runs that test only (the rest of the library is
# single-threaded per element and covered by the other builds). The module
# is built without the dialogs (and so without the tool, which needs them):
# the threads show none, and so CI builds and runs the module as a build
# without Qt makes it.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build-tsan}"
cmake -S . -B "$BUILD_DIR" -G Ninja -DVORNFMT_WERROR=ON -DVORNFMT_TSAN=ON -DVORNFMT_DIALOGS=OFF -DVORNFMT_TOOLS=OFF "$@"
cmake --build "$BUILD_DIR" --target test_host_concurrency
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
  ctest --test-dir "$BUILD_DIR" -R '^HostThreads\.' --output-on-failure
