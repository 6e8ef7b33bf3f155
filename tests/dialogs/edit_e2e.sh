#!/bin/sh
# vornfmt edit, end to end on a real X server (Xvfb): the structure dialog of
# SNVT_switch opens with "100 1"; a double click on the row "value" opens its
# number dialog (Modify), where 50 is typed and Enter (OK) accepted; Enter
# in the structure dialog is OK. The tool must print the text and the bytes.
# Exit 77 (skipped) only when Xvfb or xdotool is not installed.
VORNFMT="$1"
for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed (Debian packages xvfb, xdotool)"
    exit 77
  fi
done
WORK=$(mktemp -d)
XVFB_PID=
VORNFMT_PID=
cleanup() {
  [ -n "$VORNFMT_PID" ] && kill "$VORNFMT_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; cat "$WORK/out" "$WORK/err" 2>/dev/null; exit 1; }

# A free display number: Xvfb writes the one it took to the descriptor given.
# -noreset: by default the server resets when its last client leaves, and a
# client connecting just then (the next xdotool) is refused.
exec 3>"$WORK/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
for i in $(seq 50); do [ -s "$WORK/display" ] && break; sleep 0.1; done
[ -s "$WORK/display" ] || fail "Xvfb did not start"
DISPLAY=":$(head -n1 "$WORK/display")"
export DISPLAY
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# On a loaded machine the server may take a moment to accept clients.
for i in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb on $DISPLAY accepts no client"

"$VORNFMT" edit SNVT_switch C801 >"$WORK/out" 2>"$WORK/err" &
VORNFMT_PID=$!

# The structure dialog; its list (7, 65 dialog units) has a header row, the
# first field ("value") is the row below it.
STRUCT=$(timeout 30 xdotool search --sync --onlyvisible --name "Modify Variable Value" | head -n1)
[ -n "$STRUCT" ] || fail "the structure dialog did not open"
sleep 0.5
xdotool windowactivate --sync "$STRUCT" 2>/dev/null || xdotool windowfocus --sync "$STRUCT"
eval "$(xdotool getwindowgeometry --shell "$STRUCT")"
# Base units of the dialog font (7 x 13 pixels): list at x 12, y 106.
xdotool mousemove --window "$STRUCT" 40 140 click --repeat 2 --delay 80 1

# The number dialog of "value" opens over it with its text selected.
for i in $(seq 100); do
  NUMBER=$(xdotool search --onlyvisible --name "Modify Variable Value" | grep -v "^$STRUCT\$" | head -n1)
  [ -n "$NUMBER" ] && break
  sleep 0.1
done
[ -n "$NUMBER" ] || fail "the number dialog did not open"
sleep 0.5
xdotool windowactivate --sync "$NUMBER" 2>/dev/null || xdotool windowfocus --sync "$NUMBER"
xdotool type --delay 50 "50"
xdotool key Return
sleep 0.5
xdotool windowactivate --sync "$STRUCT" 2>/dev/null || xdotool windowfocus --sync "$STRUCT"
xdotool key Return

for i in $(seq 100); do kill -0 "$VORNFMT_PID" 2>/dev/null || break; sleep 0.1; done
wait "$VORNFMT_PID"
STATUS=$?
VORNFMT_PID=
[ "$STATUS" -eq 0 ] || fail "vornfmt edit exited $STATUS"
printf '50 1\n6401\n' >"$WORK/expected"
cmp -s "$WORK/out" "$WORK/expected" || fail "printed $(cat "$WORK/out"), expected 50 1 / 6401"
echo "PASS: vornfmt edit printed 50 1 and 6401"
