#!/usr/bin/env bash
# One command for a fresh Debian machine: installs what the build needs,
# builds, and runs the main job on the shipped standard catalog.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
echo "--- the standard set (program ID 00:00:00:00:00:00:00:00, selector 0)"
build/vornfmt types
echo "--- vornfmt format SNVT_temp_p 0A28"
build/vornfmt format SNVT_temp_p 0A28
echo "--- vornfmt format SNVT_switch C801"
build/vornfmt format SNVT_switch C801
echo "--- vornfmt write SNVT_temp_p 21.5"
build/vornfmt write SNVT_temp_p 21.5
echo "--- vornfmt format --ms US SNVT_temp_p 0A28"
build/vornfmt format --ms US SNVT_temp_p 0A28
