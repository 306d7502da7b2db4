#!/usr/bin/env bash
# Runs a program of examples/ in batch mode with the script beside this file
# and compares standard output and standard error with the files beside it.
# NAME.windir/ holds the Windows directory's files (optional), NAME.made the
# files the run must leave there, one per line (optional), NAME.midi the
# MIDI messages it must send (optional).
set -u
bin=$1
prog=$2
here=$(cd "$(dirname "$0")" && pwd)
name=$(basename "$prog" .tmf)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/.windir"
[ -d "$here/$name.windir" ] && cp -r "$here/$name.windir"/. "$work/.windir"/
opts=()
[ -f "$here/$name.midi" ] && opts+=(--midi-log "$work/midi.log")
TILMOR_WINDIR="$work/.windir" timeout 60 "$bin" --batch "${opts[@]}" --script "$here/$name.script" "$prog" \
  >"$work/out" 2>"$work/err" </dev/null
code=$?
fail=0
diff -u "$here/$name.out" "$work/out" || fail=1
diff -u "$here/$name.err" "$work/err" || fail=1
[ "$code" = 0 ] || { echo "exit code $code"; fail=1; }
if [ -f "$here/$name.midi" ]; then diff -u "$here/$name.midi" "$work/midi.log" || fail=1; fi
if [ -f "$here/$name.made" ]; then
  while IFS= read -r f; do
    [ -s "$work/.windir/$f" ] || { echo "missing: $f"; fail=1; }
  done < "$here/$name.made"
fi
exit $fail
