#!/usr/bin/env bash
# The editor and the interpreter on a real X server: a private Xvfb, Qt's
# xcb platform, and keys typed through the X keyboard with xdotool. The
# editor saves what was typed (CR LF, the file's umlauts kept in
# Windows-1252), F7 starts the interpreter with the file, whose window shows
# up, and Alt+X ends the editor, which writes its settings.
# Skipped (77) where Xvfb or xdotool is not installed.
#
# Usage: x11_session.sh PATH/TO/BIN-DIRECTORY
set -u
bin=$(realpath "$1")
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "SKIP: Xvfb or xdotool not installed (scripts/install-deps.sh installs xvfb and xdotool)"
  exit 77
fi

. "$(dirname "$0")/session.sh"

Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
started+=($!)
await test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -1 "$work/display")"
await xdotool getdisplaygeometry || fail "the X server takes no clients"
export QT_QPA_PLATFORM=xcb TILMOR_WINDIR="$work/win" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$TILMOR_WINDIR" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

cd "$work"
printf 'REM Gr\xfc\xdfe\r\nWAITKEY\r\n' > prog.tmf
"$bin/tilmed32" prog.tmf >"$work/editor.log" 2>&1 &
editor=$!
started+=("$editor")
await xdotool search --name '^ZEL-TILMOR-Editor 5\.0a-32$' || fail "no editor window: $(cat editor.log)"
frame=$(xdotool search --name '^ZEL-TILMOR-Editor 5\.0a-32$' | head -1)
xdotool windowfocus --sync "$frame" 2>/dev/null
focused() { [ "$(xdotool getwindowfocus)" = "$frame" ]; }
await focused || fail "the editor did not take the focus"

# Typed at the start of the text, then saved with F2: the umlauts the file
# had stay Windows-1252, lines end in CR LF. (xdotool types characters that
# are not on the keyboard through a key it maps only for the moment of the
# press, which a busy program may read too late; the typed text keeps to
# the keys of the keyboard.)
xdotool type --delay 20 'PRINT "Hallo"'
xdotool key Return F2
want=$(printf 'PRINT "Hallo"\r\nREM Gr\xfc\xdfe\r\nWAITKEY\r\n' | od -An -c)
saved() { [ "$(od -An -c prog.tmf)" = "$want" ]; }
await saved || fail "saved: $(od -c prog.tmf)"

# F7: the interpreter runs the file in a window of its own.
xdotool key F7
await xdotool search --name '^ZEL-TILMOR² INTERPRETER 5\.0b-32$' || fail "the interpreter's window did not show"
run=$(xdotool search --name '^ZEL-TILMOR² INTERPRETER 5\.0b-32$' | head -1)
xdotool windowkill "$run"

# Alt+X ends the editor, which writes its settings.
xdotool windowfocus --sync "$frame" 2>/dev/null
xdotool key alt+x
await bash -c "! kill -0 $editor" || fail "the editor did not end"
grep -q '^\[Position\]' win/TILMED32.INI || fail "no settings: $(cat win/TILMED32.INI 2>&1)"
grep -q '^Projekt=' win/TILMED32.INI || fail "no project line: $(cat win/TILMED32.INI)"
echo "ok"
