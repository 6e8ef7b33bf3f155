#!/usr/bin/env bash
# Renders the dialogs and the message box, English and German, into
# docs/images/ through the dialog tests (offscreen); build first.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"
mkdir -p docs/images
QT_QPA_PLATFORM=offscreen VORNFMT_SCREENSHOTS="$PWD/docs/images" \
  "$BUILD_DIR/tests/test_dialogs" --gtest_filter='Layout.ScreenshotsWithoutCutLabels'
