#!/usr/bin/env bash
# Builds the Debian package from the build folder (CPack), unpacks it into a
# scratch folder with dpkg -x -- no root, nothing of the system touched, the
# way a user might try a package without installing it -- and checks that
# the unpacked tree works wherever it lies and from any folder: the tool,
# its man page, a consumer program found with find_package and with
# pkg-config, and the Python module.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="$(realpath -m "${BUILD_DIR:-build}")"
SOURCE_DIR="$PWD"
scripts/build.sh "$@"
rm -f "$BUILD_DIR"/vornfmt_*.deb
(cd "$BUILD_DIR" && cpack -G DEB >/dev/null)
deb="$(ls "$BUILD_DIR"/vornfmt_*.deb)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch/root"
prefix="$scratch/root/usr"
mkdir "$scratch/elsewhere" && cd "$scratch/elsewhere"
fail() { echo "package: $*" >&2; exit 1; }
expect() {  # expect WHAT EXPECTED ACTUAL
  [ "$2" = "$3" ] || fail "$1: expected \"$2\", got \"$3\""
  echo "package: $1: $3"
}

echo "package: $(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"
expect "installed tool" "26" "$(env -u VORNFMT_CATALOG "$prefix/bin/vornfmt" format SNVT_temp_p 0A28)"
expect "tool on PATH" "26" "$(env -u VORNFMT_CATALOG PATH="$prefix/bin:$PATH" vornfmt format SNVT_temp_p 0A28)"
zcat "$prefix/share/man/man1/vornfmt.1.gz" | grep -q -- "--batch" || fail "the man page lacks the format command's options"
[ -f "$prefix/share/vornfmt/ui/enu/ui.json" ] && [ -f "$prefix/share/vornfmt/ui/bitmaps/toolbox.png" ] \
  || fail "the dialogs' resource sets are not installed"
# `edit` loads its dialogs module from the installed tree and opens the
# installed catalog there (a subfield that is not there stops it before any
# dialog); the tool itself links no Qt.
[ -n "$(find "$prefix" -path '*/vornfmt/vornfmt_edit.so')" ] || fail "the dialogs module is not installed"
expect "installed edit module" 'vornfmt edit: SNVT_switch has no subfield "nosuch"' \
  "$(env -u VORNFMT_CATALOG -u DISPLAY QT_QPA_PLATFORM=offscreen "$prefix/bin/vornfmt" edit --field nosuch SNVT_switch 2>&1 || true)"
case "$(ldd "$prefix/bin/vornfmt")" in *libQt6*) fail "the installed tool links Qt" ;; esac

consumer_expected=$'C801 -> 100 1\n50 1 -> 6401'
cmake -S "$SOURCE_DIR/tests/consumer" -B cmake-consumer -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build cmake-consumer >/dev/null
expect "find_package consumer" "$consumer_expected" "$(./cmake-consumer/consumer)"

pc_dir="$(dirname "$(find "$prefix" -name vornfmt.pc)")"
export PKG_CONFIG_PATH="$pc_dir"
# shellcheck disable=SC2046
g++ -o pkg-consumer "$SOURCE_DIR/tests/consumer/main.cpp" $(pkg-config --cflags vornfmt) \
    -DVORNFMT_CATALOG_DIR="\"$(pkg-config --variable=catalogdir vornfmt)\"" $(pkg-config --libs vornfmt)
expect "pkg-config consumer" "$consumer_expected" "$(./pkg-consumer)"

python_dir="$prefix/lib/python3/dist-packages"
if [ -d "$python_dir/vornfmt" ]; then
  expect "Python module" "26 100 1" "$(env -u VORNFMT_CATALOG PYTHONPATH="$python_dir" /usr/bin/python3 -c '
import vornfmt
c = vornfmt.Catalog()
print(c.type_element("SNVT_temp_p").format(bytes.fromhex("0A28")), c.type_element("SNVT_switch").format(b"\xc8\x01"))')"
fi
echo "package: $(basename "$deb") works unpacked at $prefix"
