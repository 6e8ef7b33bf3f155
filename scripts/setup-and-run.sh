#!/usr/bin/env bash
# One command for a fresh Debian machine: installs what the build needs,
# builds, and runs the main job on the shipped standard catalog.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
echo "--- vornfmt types (the standard set, program ID 00:00:00:00:00:00:00:00, selector 0)"
build/vornfmt types
