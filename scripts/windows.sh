#!/usr/bin/env bash
# The control as a Windows in-process server: builds VORNFMT.OCX for i686
# (the 32-bit target) and x86-64 with mingw-w64, checks the i686 module's
# form (PE32, the four exports, the embedded type library), then drives the
# x86-64 module under wine64 in a fresh Wine prefix (32-bit programs cannot
# run here; the 64-bit build stands in for them):
#   0. the automation value layer's tests (tests/platform/automation_test.cpp)
#      run against Wine's oleaut32;
#   1. regsvr32 registers it; the CLSID, ProgID, TypeLib and MiscStatus keys
#      are there;
#   2. a C++ client (tests/windows/com_client.cpp) calls it through COM;
#   3. a VBScript and a JScript client run under cscript;
#   4. the README's VBScript prints what the README shows;
#   5. under Xvfb, with view messages on, tests/windows/dialogs.vbs writes
#      wrong values; each message box and value dialog must appear, is
#      photographed and answered with xdotool (every wait has a timeout);
#   6. regsvr32 /u leaves HKEY_CLASSES_ROOT as it was before.
# Each client prints "N passed, N failed" and fails when any failed.
#
# Environment: WIN32_BUILD_DIR (build-win32), WIN64_BUILD_DIR (build-win64),
# JOBS (2), WIN32_SCREENSHOTS (the folder for the dialogs' pictures,
# $WIN64_BUILD_DIR/screenshots; docs/images renews the documentation's).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$(pwd)"
JOBS="${JOBS:-2}"
WIN32_BUILD_DIR="${WIN32_BUILD_DIR:-build-win32}"
WIN64_BUILD_DIR="${WIN64_BUILD_DIR:-build-win64}"
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
source "$ROOT/scripts/windows-header-libraries.sh"
SIMDJSON_DIR="$(WindowsSimdjsonSource)"

Step() { echo "== windows: $*"; }
Fail() { echo "windows: $*" >&2; exit 1; }

Build() {  # Build DIR TOOLCHAIN
  local dir="$1" toolchain="$2"
  mkdir -p "$dir"
  cmake -S . -B "$dir" -G Ninja --toolchain "$ROOT/cmake/$toolchain" \
    -DVORNFMT_WERROR=ON -DVORNFMT_TESTS=OFF -DVORNFMT_TOOLS=OFF -DVORNFMT_DIALOGS=OFF \
    -DVORNFMT_WINDOWS_CLIENTS=ON -Dnlohmann_json_DIR="$(WindowsHeaderLibraries "$ROOT/$dir")" \
    -DVORNFMT_SIMDJSON_SOURCE_DIR="$SIMDJSON_DIR" \
    >"$dir/configure.log" 2>&1 || { cat "$dir/configure.log" >&2; exit 1; }
  ninja -C "$dir" -j"$JOBS" vornfmt_ocx com_client "${@:3}"
}

# The module's form, from the file alone.
CheckModule() {  # CheckModule DIR PREFIX FORMAT
  local dir="$1" prefix="$2" format="$3" module="$1/VORNFMT.OCX"
  "$prefix-objdump" -f "$module" | grep -q "file format $format" || Fail "$module is not $format"
  local exports
  exports="$("$prefix-objdump" -p "$module" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | tail -n +2 | awk 'NF>=2 {print $NF}' | sort | tr '\n' ' ')"
  [ "$exports" = "DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer " ] ||
    Fail "$module exports '$exports', not exactly the four entry points"
  python3 - "$module" "$dir/generated/control/automation/vornfmt.tlb" <<'PY' || Fail "$module does not embed its type library"
import sys
module, library = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
sys.exit(0 if library.startswith(b"MSFT") and library in module and "TYPELIB".encode("utf-16-le") in module else 1)
PY
  echo "$module: $format, exports $exports, embeds its type library ($(stat -c %s "$dir/generated/control/automation/vornfmt.tlb") bytes)"
}

Step "building i686"
Build "$WIN32_BUILD_DIR" mingw-w64-i686.cmake
Step "building x86-64"
Build "$WIN64_BUILD_DIR" mingw-w64-x86_64.cmake automation_test
CheckModule "$WIN32_BUILD_DIR" i686-w64-mingw32 pei-i386
file "$WIN32_BUILD_DIR/VORNFMT.OCX" | grep -q 'PE32 executable (DLL)' || Fail "the i686 module is not a PE32 DLL"
CheckModule "$WIN64_BUILD_DIR" x86_64-w64-mingw32 pei-x86-64

# ---- under Wine ----------------------------------------------------------
export WINEPREFIX="$ROOT/$WIN64_BUILD_DIR/wineprefix"
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
rm -rf "$WINEPREFIX"
XVFB_PID=""
trap '"$WINESERVER" -k 2>/dev/null || true; [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true' EXIT
Step "creating a fresh Wine prefix"
start=$SECONDS
"$WINE64" wineboot --init >/dev/null 2>&1
"$WINESERVER" -w
echo "prefix created in $((SECONDS - start)) s"

Wine() { "$WINE64" "$@"; }
Query() { Wine reg query "$1" >/dev/null 2>&1; }

DRIVE_C="$WINEPREFIX/drive_c"
mkdir -p "$DRIVE_C/vornfmt" "$DRIVE_C/LonWorks"
# The default catalog C:\LonWorks\Types is the shipped one.
cp -r "$ROOT/resources/catalog" "$DRIVE_C/LonWorks/Types"
cp "$WIN64_BUILD_DIR/VORNFMT.OCX" "$WIN64_BUILD_DIR/com_client.exe" "$WIN64_BUILD_DIR/automation_test.exe" \
   "$ROOT/tests/windows/client.vbs" "$ROOT/tests/windows/client.js" "$ROOT/tests/windows/readme_format.vbs" \
   "$ROOT/tests/windows/dialogs.vbs" \
   "$DRIVE_C/vornfmt/"

CLSID='{9B71C9E5-F852-488F-B457-D34352877ED1}'
KEYS=("HKCR\\CLSID\\$CLSID\\InprocServer32" "HKCR\\CLSID\\$CLSID\\MiscStatus\\1" "HKCR\\CLSID\\$CLSID\\TypeLib"
      "HKCR\\VORNFMT.VornFmtCtrl.1\\CLSID" "HKCR\\TypeLib\\{72571184-36DA-4FCC-8BDE-A81C63E965DD}\\1.0")

Step "the automation value layer's tests against the system's oleaut32"
log="$WIN64_BUILD_DIR/automation_test.log"
Wine 'C:\vornfmt\automation_test.exe' >"$log" 2>&1 || { tr -d '\r' <"$log" | tail -60; Fail "automation_test failed against oleaut32"; }
tr -d '\r' <"$log" | tail -1

Register() { Wine regsvr32 /s 'C:\vornfmt\VORNFMT.OCX' || Fail "regsvr32 could not register the module"; }
Unregister() {
  Wine regsvr32 /s /u 'C:\vornfmt\VORNFMT.OCX' || Fail "regsvr32 /u could not unregister the module"
  for key in "${KEYS[@]}"; do ! Query "$key" || Fail "$key is still there after unregistration"; done
}

Step "regsvr32 and regsvr32 /u"
Wine reg export HKCR 'C:\before.reg' /y >/dev/null
Register
for key in "${KEYS[@]}"; do Query "$key" || Fail "no $key after registration"; done
Wine reg query "HKCR\\CLSID\\$CLSID\\InprocServer32" | grep -q 'C:\\vornfmt\\VORNFMT.OCX' || Fail "InprocServer32 names another file"
echo "registered: ${#KEYS[@]} keys present"
Unregister
Wine reg export HKCR 'C:\after.reg' /y >/dev/null
cmp -s "$DRIVE_C/before.reg" "$DRIVE_C/after.reg" || {
  diff <(iconv -f UTF-16 -t UTF-8 "$DRIVE_C/before.reg") <(iconv -f UTF-16 -t UTF-8 "$DRIVE_C/after.reg") | head -20
  Fail "unregistration left HKEY_CLASSES_ROOT different from before registration"
}
echo "unregistered: HKEY_CLASSES_ROOT is as before"

Register
status=0
Step "C++ client"
Wine 'C:\vornfmt\com_client.exe' | tr -d '\r' || status=1
Step "VBScript client"
Wine cscript //nologo 'C:\vornfmt\client.vbs' | tr -d '\r' || status=1
Step "JScript client"
Wine cscript //nologo 'C:\vornfmt\client.js' | tr -d '\r' || status=1
Step "the README's VBScript"
Wine cscript //nologo 'C:\vornfmt\readme_format.vbs' | tr -d '\r' | tee "$WIN64_BUILD_DIR/readme_format.out"
python3 - README.md tests/windows/readme_format.vbs "$WIN64_BUILD_DIR/readme_format.out" <<'PY' || status=1
import sys
readme, script, output = (open(p, encoding="utf-8").read() for p in sys.argv[1:])
if script not in readme or not output.strip() or output not in readme:
    sys.exit("README.md does not show tests/windows/readme_format.vbs and its output as they are")
PY

# ---- the dialogs under Xvfb ---------------------------------------------
SCREENSHOTS="${WIN32_SCREENSHOTS:-$WIN64_BUILD_DIR/screenshots}"
CONFIGURATION='HKLM\Software\Kestrane GmbH\Ardmoor Tool Set\Components\NVT_Formatter'

# Answer TITLE PICTURE ACTION...: waits for the window titled TITLE,
# photographs it into $SCREENSHOTS/PICTURE.png (no picture for "-"), gives
# it the keyboard, runs each ACTION ("type:TEXT" or "key:KEY") and waits
# until it is gone.
Answer() {
  local title="$1" picture="$2" window; shift 2
  window="$(timeout 30 xdotool search --sync --onlyvisible --name "^$title\$" | head -1)" ||
    Fail "no window \"$title\" appeared"
  echo "dialog \"$title\" appeared (window $window)"
  sleep 0.5  # let it paint
  [ "$picture" = - ] || import -window "$window" "$SCREENSHOTS/$picture.png"
  timeout 10 xdotool windowfocus --sync "$window" || Fail "the window \"$title\" could not take the keyboard"
  local action
  for action in "$@"; do xdotool "${action%%:*}" --delay 50 "${action#*:}"; done
  timeout 30 sh -c "while xdotool search --onlyvisible --name '^$title\$' | grep -qx '$window'; do sleep 0.2; done" ||
    Fail "the window \"$title\" did not close"
}

Step "the Win32 dialogs under Xvfb"
mkdir -p "$SCREENSHOTS"
# The prefix's desktop process started without a display and would keep
# every later window off-screen: end it, the next program starts it anew.
"$WINESERVER" -k 2>/dev/null || true
"$WINESERVER" -w
display=":$((70 + RANDOM % 200))"
# -noreset: no server reset between one xdotool call and the next.
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
XVFB_PID=$!
export DISPLAY="$display"
timeout 10 sh -c 'until xdotool getmouselocation >/dev/null 2>&1; do sleep 0.2; done' || Fail "Xvfb did not start"
Wine reg add "$CONFIGURATION" /v ViewMessages /t REG_DWORD /d 1 /f >/dev/null
timeout 180 "$WINE64" cscript //nologo 'C:\vornfmt\dialogs.vbs' >"$WIN64_BUILD_DIR/dialogs.log" 2>&1 &
client=$!
start=$SECONDS
Answer "Vorn Formatter" dialog-message-enu-win32 key:Return
Answer "Modify Variable Value" dialog-number-enu-win32 type:50 key:Return
Answer "Vorn Formatter" - key:Return
Answer "Modify Variable Value" - key:Escape
Answer "Modify Variable Value" - type:12.5 key:Return
Answer "Modify Variable Value" dialog-enumeration-enu-win32 key:Return
wait "$client" || status=1
tr -d '\r' <"$WIN64_BUILD_DIR/dialogs.log"
echo "dialogs answered in $((SECONDS - start)) s"
Wine reg delete "$CONFIGURATION" /v ViewMessages /f >/dev/null
"$WINESERVER" -k 2>/dev/null || true  # no Wine window outlives the display
"$WINESERVER" -w
kill "$XVFB_PID" 2>/dev/null || true
XVFB_PID=""
unset DISPLAY

Unregister
[ "$status" -eq 0 ] || Fail "a client failed"
echo "windows: all steps passed"
