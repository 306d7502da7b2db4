#!/usr/bin/env bash
# The editor and the interpreter on a Wayland desktop: a private headless
# weston (software rendering, screenshots allowed) and Qt's Wayland
# platform. Each program must put its window on the screen: the white of the
# editor's text and of the interpreter's window, absent from the bare
# desktop, appears in the compositor's screenshot.
# Skipped (77) where weston or Qt's Wayland platform is not installed.
#
# Usage: wayland_session.sh PATH/TO/BIN-DIRECTORY
set -u
bin=$(realpath "$1")
shooter=$(command -v weston-screenshooter || echo /usr/lib/x86_64-linux-gnu/weston-screenshooter)
plugin=$(find /usr/lib -path '*qt6/plugins/platforms/libqwayland-generic.so' 2>/dev/null | head -1)
if ! command -v weston >/dev/null || [ ! -x "$shooter" ] || [ -z "$plugin" ] ||
   ! /usr/bin/python3 -c 'import PIL' 2>/dev/null; then
  echo "SKIP: weston, its screenshooter, qt6-wayland or python3-pil not installed (scripts/install-deps.sh installs them)"
  exit 77
fi

. "$(dirname "$0")/session.sh"

export XDG_RUNTIME_DIR="$work/run" TILMOR_WINDIR="$work/win"
mkdir -p "$XDG_RUNTIME_DIR" "$TILMOR_WINDIR" && chmod 700 "$XDG_RUNTIME_DIR"
weston --backend=headless-backend.so --use-pixman --debug --socket=tilmor-test --width=1280 \
  --height=900 --idle-time=0 >"$work/weston.log" 2>&1 &
started+=($!)
await test -S "$XDG_RUNTIME_DIR/tilmor-test" || fail "weston did not start: $(tail -5 "$work/weston.log")"
export WAYLAND_DISPLAY=tilmor-test QT_QPA_PLATFORM=wayland

# The number of white pixels on the screen now.
white() {
  rm -f "$work"/shots/*.png
  mkdir -p "$work/shots"
  (cd "$work/shots" && "$shooter" >/dev/null 2>&1) || return 1
  /usr/bin/python3 - "$work"/shots/*.png <<'EOF'
import sys
from PIL import Image
img = Image.open(sys.argv[1]).convert("RGB")
print(dict((c, n) for n, c in img.getcolors(1 << 24)).get((255, 255, 255), 0))
EOF
}
# Waits until the screen shows more than `n` white pixels.
more_white() { local w; w=$(white) && [ "$w" -gt "$1" ]; }

sleep 1  # the desktop's panel and background are drawn
bare=$(white) || fail "no screenshot: $(tail -5 "$work/weston.log")"
[ "$bare" -lt 10000 ] || fail "the bare desktop is already white ($bare pixels)"

cd "$work"
printf 'REM Wayland\r\nWAITKEY\r\n' > prog.tmf
"$bin/tilmed32" prog.tmf >"$work/editor.log" 2>&1 &
editor=$!
await more_white 40000 || fail "the editor's window did not appear: $(cat editor.log)"
kill "$editor"; wait "$editor" 2>/dev/null

"$bin/tilmor" prog.tmf >"$work/tilmor.log" 2>&1 &
started+=($!)
# 640 x 480 of white, less the text.
await more_white 250000 || fail "the interpreter's window did not appear: $(cat tilmor.log)"
echo "ok"
