#!/usr/bin/env bash
# Builds the threaded tests -- the host with the control module it loads, two
# threads on one engine, threads compiling one format file's formats on first
# use, and the tool's batch jobs -- with ThreadSanitizer,
# and runs those only (the rest of the library is single-threaded per element
# and covered by the other builds). The module and the tool are built without
# the dialogs: the threads show none, and Qt is not built for the sanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build-tsan}"
cmake -S . -B "$BUILD_DIR" -G Ninja -DVORNFMT_WERROR=ON -DVORNFMT_TSAN=ON -DVORNFMT_DIALOGS=OFF "$@"
cmake --build "$BUILD_DIR" --target test_host_concurrency test_engine_threads test_format_threads
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
  ctest --test-dir "$BUILD_DIR" -R '^(HostThreads|EngineThreads|FormatThreads)\.' --output-on-failure

# The tool's batch jobs: threads over one engine, each loading types of its
# own, with the output as one job gives it and no race reported (exit 66).
cmake --build "$BUILD_DIR" --target vornfmt test_tool_batch
TSAN_OPTIONS="halt_on_error=1 ${TSAN_OPTIONS:-}" ctest --test-dir "$BUILD_DIR" -R '^BatchJobs\.' --output-on-failure
input="$(mktemp)"
trap 'rm -f "$input" "$input".*' EXIT
for _ in $(seq 500); do
  printf '%s\n' "SNVT_temp_p 0A28" "SNVT_switch C801" "SCPTdefScale 066A" "SNVT_nonesuch 00" \
    "SNVT_alarm_2 F210BDE1D6855F89151C0C7B691ED9C4B61E6B6B5E5EBFCF850921D5F0C135" "SNVT_temp_p#US 0A28"
done > "$input"
for jobs in 1 4; do
  rc=0
  TSAN_OPTIONS="halt_on_error=1 exitcode=66 ${TSAN_OPTIONS:-}" \
    "$BUILD_DIR/vornfmt" format --batch --jobs "$jobs" < "$input" > "$input.$jobs" 2> "$input.err" || rc=$?
  # 1: the unknown type's lines; anything else is a race or a crash.
  if [ "$rc" -ne 1 ]; then
    grep -v "^vornfmt format: line" "$input.err" | head -60 >&2
    echo "tsan: format --batch --jobs $jobs exited $rc" >&2
    exit 1
  fi
done
cmp "$input.1" "$input.4"
echo "tsan: format --batch --jobs 4 gives what one job gives, without a race reported"
