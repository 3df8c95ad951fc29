#!/bin/bash
# Real X11 key events on the program (own Xvfb, xdotool): the analogue key F11, Alt+Left /
# Alt+Right through the history and Ctrl+D for the favourites, checked through what the
# program stores in its settings table.
#   x11_keys_test.sh BIN_DIR
set -u
bin=$1
work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    [ -n "${DISPLAY:-}" ] && import -window root "$work/../orvanta-x11-fail.png" 2>/dev/null
    exit 1
}

mkdir -p "$work/app" "$work/tmp" "$work/run"
chmod 700 "$work/run"
cp "$bin/orvanta" "$bin/source.bin" "$work/app/"
cli="$bin/orvanta-cli"
"$cli" settings --dir "$work/app" set checkup False >/dev/null || fail "settings"

exec 3>"$work/displayfd"
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/displayfd" ] && break
    sleep 0.1
done
exec 3>&-
export DISPLAY=:$(head -n1 "$work/displayfd")
[ "$DISPLAY" != ":" ] || fail "Xvfb did not start"

TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb \
    ORVANTA_UPDATE_SERVER=http://127.0.0.1:9/ "$work/app/orvanta" nosplash >"$work/app.log" 2>&1 &
app_pid=$!
win=""
for _ in $(seq 100); do
    win=$(xdotool search --name "Справочная система лекарственных препаратов" 2>/dev/null | head -n1)
    [ -n "$win" ] && break
    sleep 0.2
done
[ -n "$win" ] || fail "no main window"
sleep 1.5
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
sleep 0.5

stored() { "$cli" query --dir "$work/app" "select value from settings where key='$1'" | tail -n +2; }
history() { stored history | sed 's/:[0-9]*//g'; }
favorites() { stored favorites; }
key() { xdotool key --delay 80 "$@"; sleep 1.6; }

# xdotool maps Cyrillic onto a spare key code as it types; the first such change of the X key
# map can overtake the program's reading of it, and the letter is lost. One letter first.
xdotool type --delay 80 "ж"
sleep 0.3
xdotool key BackSpace
sleep 0.5

# The filter box has the focus: "нуро" stands on Нурофен (7), shown for over a second.
xdotool type --delay 80 "нуро"
sleep 1.8
[ "$(history | cut -d, -f1)" = "7" ] || fail "typing: history $(history)"

# F11: Ибупрофен (6), МИГ 400 (8), Нурофен (7). The emptied box goes to the first of them;
# Down takes the focus to the list, the next Down goes to the second. In the whole list these
# would be other preparations.
key F11
key BackSpace BackSpace BackSpace BackSpace
[ "$(history | cut -d, -f1-2)" = "6,7" ] || fail "F11: history $(history)"
key Down
key Down
[ "$(history | cut -d, -f1-3)" = "8,6,7" ] || fail "list: history $(history)"

# Back and forward open the entries without making new ones; Ctrl+D pins what is shown.
key alt+Left
key ctrl+d
[ "$(favorites)" = "6" ] || fail "Alt+Left, Ctrl+D: favorites $(favorites)"
key alt+Left
key ctrl+d
[ "$(favorites)" = "6,7" ] || fail "Alt+Left again: favorites $(favorites)"
key alt+Right
key ctrl+d
[ "$(favorites)" = "7" ] || fail "Alt+Right: favorites $(favorites)"
[ "$(history | cut -d, -f1-3)" = "8,6,7" ] || fail "back/forward changed the history: $(history)"
[ -n "${X11_SHOT:-}" ] && import -window root "$X11_SHOT"
echo "OK"
