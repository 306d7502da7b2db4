#!/usr/bin/env bash
# scripts/demo.sh without a display, and with one whose window is ended
# from outside (Qt's offscreen platform stands in for the desktop).
#   demo.sh DEMOSCRIPT TILMOR
set -u
demo=$(realpath "$1")
tilmor=$(realpath "$2")
work=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
export TILMOR_WINDIR=$work/.windir
fails=0
fail() { echo "--- $*"; fails=$((fails + 1)); }

out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM bash "$demo" "$tilmor" "$work/shot.png" 2>&1)
code=$?
[ $code = 0 ] || fail "without a display: exit code $code: $out"
grep -q "Hallo Welt!" <<<"$out" || fail "without a display: the scripted input did not arrive: $out"
grep -qF "The demo's window at its end: $work/shot.png" <<<"$out" || fail "without a display: no word of the screenshot: $out"
[ "$(head -c 4 "$work/shot.png" 2>/dev/null | od -An -c | tr -d ' ')" = '211PNG' ] || fail "no PNG at $work/shot.png"
grep -qF "$(dirname "$tilmor")/tilmed32 examples/demo.tmf" <<<"$out" || fail "without a display: no word of the editor: $out"

# With a display the demo waits in its window; ended from outside, the
# script says so and is content.
env DISPLAY=:tilmor-test QT_QPA_PLATFORM=offscreen bash "$demo" "$tilmor" "$work/none.png" >"$work/out" 2>&1 &
pid=$!
for i in $(seq 100); do
  child=$(pgrep -P $pid -x tilmor) && break
  sleep 0.05
done
sleep 0.5
[ -n "${child:-}" ] || fail "with a display: tilmor did not start"
kill -TERM "${child:-0}" 2>/dev/null
wait $pid
code=$?
[ $code = 0 ] || fail "with a display, window ended: exit code $code: $(cat "$work/out")"
grep -q "ended before its last line" "$work/out" || fail "with a display: no explanation: $(cat "$work/out")"
[ -f "$work/none.png" ] && fail "with a display: a screenshot was written"

if [ "$fails" -gt 0 ]; then echo "$fails failed"; exit 1; fi
exit 0
