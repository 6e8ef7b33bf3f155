#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the fuzzers and the
# Windows syntax check (mingw-w64 with the POSIX thread model) and the Windows
# build with its tests under Wine need.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
  cmake ninja-build g++ clang libclang-rt-14-dev \
  libgtest-dev libgmock-dev libbenchmark-dev \
  nlohmann-json3-dev libsimdjson-dev libcli11-dev python3 locales \
  g++-mingw-w64-x86-64-posix
# The control as a Windows module for i686 and x86-64 (widl compiles its type
# library), and Wine to register it and drive it with real clients.
$SUDO apt-get install -y --no-install-recommends \
  g++-mingw-w64-i686-posix mingw-w64-tools wine64 file
# The Python module and its tests, bulk decoding on Dask, and the Debian
# package with its check (dpkg-shlibdeps, pkg-config).
$SUDO apt-get install -y --no-install-recommends \
  pybind11-dev python3-dev python3-pytest python3-dask python3-distributed dpkg-dev pkgconf
# The dialogs (Qt 6 Widgets, their fixed font) and their end-to-end test on X.
$SUDO apt-get install -y --no-install-recommends qt6-base-dev fonts-dejavu-core xvfb xdotool imagemagick
# The Windows builds compile simdjson from its Debian source package (the
# binary package has a Linux library only): a deb-src entry for the mirror
# the system's own entry names, then the source into the cache.
if [ -f /etc/apt/sources.list.d/debian.sources ] && [ ! -f /etc/apt/sources.list.d/vornfmt-src.sources ]; then
  uris="$(grep -m1 '^URIs:' /etc/apt/sources.list.d/debian.sources)"
  printf 'Types: deb-src\n%s\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$uris" | $SUDO tee /etc/apt/sources.list.d/vornfmt-src.sources >/dev/null
  $SUDO apt-get update
elif grep -qs '^deb ' /etc/apt/sources.list && ! grep -qs '^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list; then
  # The one-line format: the same entries with deb-src.
  grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | $SUDO tee /etc/apt/sources.list.d/vornfmt-src.list >/dev/null
  $SUDO apt-get update
fi
source "$(dirname "$0")/windows-header-libraries.sh"
FetchSimdjsonSource
# A German locale lets the tests check number text with a decimal comma.
if ! locale -a 2>/dev/null | grep -qi '^de_DE.utf8$'; then
  $SUDO sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  $SUDO locale-gen
fi
