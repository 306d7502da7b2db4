#!/usr/bin/env bash
# Runs one end-to-end program in batch mode and compares standard output,
# standard error and exit code with the expected files beside it:
#   NAME.tmf      the program
#   NAME.out      expected standard output (missing: empty)
#   NAME.err      expected standard error (missing: empty)
#   NAME.code     expected exit code (missing: 0)
#   NAME.script   batch answers (optional)
#   NAME.args     further command-line words, one per line (optional)
#   NAME.stdin    standard input (optional; else none)
#   NAME.windir/  contents of the Windows directory (optional)
#   NAME.expect/  files the program must leave behind, byte for byte (optional)
# The program runs in a fresh copy of its directory.
set -u
bin=$(realpath "$1")
src=$2
dir=$(cd "$(dirname "$src")" && pwd)
name=$(basename "$src" .tmf)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$dir"/. "$work"/
mkdir -p "$work/.windir"
[ -d "$dir/$name.windir" ] && cp -r "$dir/$name.windir"/. "$work/.windir"/

args=()
[ -f "$dir/$name.script" ] && args+=(--script "$name.script")
prog=("$name.tmf")
if [ -f "$dir/$name.args" ]; then
  prog=()
  while IFS= read -r line || [ -n "$line" ]; do prog+=("$line"); done < "$dir/$name.args"
fi

stdin=/dev/null
[ -f "$dir/$name.stdin" ] && stdin="$dir/$name.stdin"
cd "$work"
TILMOR_WINDIR="$work/.windir" timeout 60 "$bin" --batch "${args[@]}" "${prog[@]}" \
  >"$work/.stdout" 2>"$work/.stderr" <"$stdin"
code=$?

fail=0
expect() { if [ -f "$dir/$name.$1" ]; then cat "$dir/$name.$1"; fi; }
if ! diff -u <(expect out) "$work/.stdout" >"$work/.diff"; then
  echo "--- standard output differs:"; cat "$work/.diff"; fail=1
fi
if ! diff -u <(expect err) "$work/.stderr" >"$work/.diff"; then
  echo "--- standard error differs:"; cat "$work/.diff"; fail=1
fi
if [ -d "$dir/$name.expect" ]; then
  while IFS= read -r -d '' f; do
    rel=${f#"$dir/$name.expect/"}
    if ! cmp -s "$f" "$work/$rel"; then
      echo "--- file $rel differs from $name.expect/$rel"; fail=1
    fi
  done < <(find "$dir/$name.expect" -type f -print0)
fi
want=0
[ -f "$dir/$name.code" ] && want=$(tr -d ' \n' < "$dir/$name.code")
if [ "$code" != "$want" ]; then
  echo "--- exit code $code, expected $want"; fail=1
fi
exit $fail
