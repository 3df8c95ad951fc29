#!/usr/bin/env bash
# The real program in a real X server: a failing group tree under Ctrl+F2 and under a mouse
# click on the tab shows the error box, and the program keeps running.
# Usage: error_path_x11.sh BIN_DIR   (skips with 77 where Xvfb or xdotool is missing)
set -uo pipefail
bin=$1
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || exit 77
work=$(mktemp -d)
trap 'kill $app $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
cp "$bin/orvanta" "$bin/source.bin" "$bin/help.htm" "$work/"
"$bin/orvanta-cli" query --dir "$work" "alter table b rename column g to g_gone" >/dev/null || exit 1
"$bin/orvanta-cli" settings --dir "$work" set checkup False >/dev/null || exit 1

# Our own display: ORVANTA_TEST_DISPLAY, or the first free one the server picks.
if [ -n "${ORVANTA_TEST_DISPLAY:-}" ]; then
    Xvfb "$ORVANTA_TEST_DISPLAY" -screen 0 1280x800x24 -nolisten tcp &
    xvfb=$!
    export DISPLAY=$ORVANTA_TEST_DISPLAY
    sleep 1
else
    exec 3<> "$work/display"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp &
    xvfb=$!
    for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=:$(head -n1 "$work/display")
fi
mkdir -m 700 "$work/run"
export HOME=$work XDG_CONFIG_HOME=$work/config TMPDIR=$work XDG_RUNTIME_DIR=$work/run
export QT_QPA_PLATFORM=xcb ORVANTA_UPDATE_SERVER=http://127.0.0.1:9/
"$work/orvanta" nosplash 2>"$work/stderr" &
app=$!

fail() { echo "FAIL: $*"; cat "$work/stderr"; exit 1; }
main=$(timeout 20 xdotool search --sync --onlyvisible --name ' - Norvel$' | head -n1)
[ -n "$main" ] || fail "no main window"
box_shown() {
    for _ in $(seq 100); do
        b=$(xdotool search --onlyvisible --name '^Справочная система лекарственных препаратов$' | head -n1)
        [ -n "$b" ] && { echo "$b"; return 0; }
        sleep 0.1
    done
    return 1
}
close_box() {
    xdotool windowfocus --sync "$1" key Return
    for _ in $(seq 50); do xdotool search --onlyvisible --name '^Справочная система лекарственных препаратов$' >/dev/null || return 0; sleep 0.1; done
    fail "the box did not close"
}

sleep 1
xdotool windowfocus --sync "$main" key ctrl+F2
box=$(box_shown) || fail "no error box after Ctrl+F2"
kill -0 $app 2>/dev/null || fail "the program ended after Ctrl+F2"
close_box "$box"

# The mouse: back to the list tab and onto the tree tab again (tabs sit at the bottom left).
read -r x y w h < <(xdotool getwindowgeometry --shell "$main" | awk -F= '{print $2}' | paste -sd' ' | awk '{print $2, $3, $4, $5}')
tabs_y=$((y + h - 36))
xdotool mousemove --sync $((x + 55)) $tabs_y click 1
sleep 0.5
xdotool mousemove --sync $((x + 160)) $tabs_y click 1
box=$(box_shown) || fail "no error box after a click on the tab"
kill -0 $app 2>/dev/null || fail "the program ended after the click"
close_box "$box"
sleep 0.5
kill -0 $app 2>/dev/null || fail "the program ended after the box"
xdotool search --onlyvisible --name ' - Norvel$' >/dev/null || fail "the main window is gone"
grep -q "no such column: g\|нет столбца" "$work/stderr" || fail "the box was not about the tree"
echo PASS
