#!/usr/bin/env bash
# Configures and builds into ${BUILD_DIR:-build}; extra arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"
# The Python module and its tests use the system's interpreter, whose Debian
# packages (pytest, dask) they need, even when another one comes first on PATH.
PYTHON_ARGS=()
if [ -x /usr/bin/python3 ]; then PYTHON_ARGS=(-DPython_EXECUTABLE=/usr/bin/python3); fi
cmake -S . -B "$BUILD_DIR" -G Ninja -DVORNFMT_WERROR=ON "${PYTHON_ARGS[@]}" "$@"
cmake --build "$BUILD_DIR"
