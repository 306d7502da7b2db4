#!/usr/bin/env bash
# make demo: the demo program in its window on a desktop; without a display
# in batch mode, with the input of tests/demo.script, leaving a screenshot.
# Afterwards it says how to open the demo in the editor tilmed32.
#   demo.sh TILMOR SCREENSHOT.png
set -u
cd "$(dirname "$0")/.."
tilmor=$1
shot=$(realpath -m "$2")
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "The demo opens its window: type a name and Enter, then any key."
  "$tilmor" examples/demo.tmf
  code=$?
else
  echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): the demo runs in batch mode"
  echo "with the input of tests/demo.script; its window is saved as a picture."
  rm -f "$shot"
  "$tilmor" --batch --script tests/demo.script --screenshot "$shot" examples/demo.tmf
  code=$?
  [ -f "$shot" ] && echo "The demo's window at its end: $shot"
fi
bin=$(dirname "$tilmor")
editor_hint() {
  echo "To edit and run the demo in the development environment: make build, then"
  echo "  $bin/tilmed32 examples/demo.tmf"
}
case $code in
  0) editor_hint
     exit 0 ;;
  255) echo "The demo was ended before its last line (its window closed, or interrupted)."
       editor_hint
       exit 0 ;;
  1) echo "The demo could not be loaded (exit code 1)." ;;
  2) echo "No program was run (exit code 2)." ;;
  3) echo "The demo stopped with a runtime error (exit code 3)." ;;
  *) echo "The demo ended with exit code $code." ;;
esac
exit "$code"
