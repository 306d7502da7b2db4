#!/usr/bin/env bash
# Compiles one end-to-end program with shtmcomp and runs the result with
# tlmrun32 the way run_program.sh runs the source with the interpreter:
#   roundtrip.sh SHTMCOMP TLMRUN32 PROGRAM.tmf ID LISTDIR
# ID is GROUP/NAME. The run must give the interpreter's standard output, exit
# code and left files exactly. Box lines must be equal too, except that the
# line text of a "Zeile N: | TEXT" box is compared without blanks and case
# outside strings: the compiled file keeps neither.
# LISTDIR/uncompilable.txt lists programs that must fail to compile (ID, the
# compiler's exit code); LISTDIR/ID.cerr is then its expected standard error.
# LISTDIR/deviations.txt lists programs whose run differs by design; their
# expected files are LISTDIR/ID.out, .err and .code.
set -u
comp=$(realpath "$1")
run=$(realpath "$2")
src=$3
id=$4
lists=$(realpath "$5")
dir=$(cd "$(dirname "$src")" && pwd)
name=$(basename "$src" .tmf)

listed() { grep -v '^#' "$lists/$1" 2>/dev/null | awk -v id="$id" '$1 == id { print $2; found = 1 } END { exit !found }'; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$dir"/. "$work"/
mkdir -p "$work/.windir"
[ -d "$dir/$name.windir" ] && cp -r "$dir/$name.windir"/. "$work/.windir"/

# The program word and its arguments, as run_program.sh passes them; options
# at their head (the logs of the sound tests) go to the runtime as they are.
words=("$name.tmf")
lead=()
if [ -f "$dir/$name.args" ]; then
  words=()
  while IFS= read -r line || [ -n "$line" ]; do words+=("$line"); done < "$dir/$name.args"
  while [ ${#words[@]} -gt 0 ]; do
    case "${words[0]}" in
      --midi-log|--sound-log|--midi-render|--script|--screenshot) lead+=("${words[@]:0:2}"); words=("${words[@]:2}") ;;
      --batch) lead+=("${words[0]}"); words=("${words[@]:1}") ;;
      *) break ;;
    esac
  done
fi
source_word=${words[0]:-$name.tmf}

cd "$work"
export TILMOR_WINDIR="$work/.windir"
timeout 60 "$comp" --batch "$source_word" >.cout 2>.cerr </dev/null
ccode=$?

fail=0
if want_code=$(listed uncompilable.txt); then
  if [ "$ccode" != "$want_code" ]; then
    echo "--- compiler exit code $ccode, expected $want_code"; cat .cerr; fail=1
  fi
  if [ -f "$lists/$id.cerr" ] && ! diff -u "$lists/$id.cerr" .cerr; then
    echo "--- compiler standard error differs"; fail=1
  fi
  exit $fail
fi
if [ "$ccode" != 0 ]; then
  echo "--- compilation failed with exit code $ccode:"; cat .cerr; exit 1
fi

# The compiled program replaces the source in the command line.
prog=()
if [ ${#words[@]} -gt 0 ]; then
  first=${words[0]}
  case "$first" in
    *.*) first=${first%.*}.tmc ;;
  esac
  prog=("$first" "${words[@]:1}")
fi
opts=("${lead[@]}")
[ -f "$dir/$name.script" ] && opts+=(--script "$name.script")
input=/dev/null
[ -f "$dir/$name.stdin" ] && input=$dir/$name.stdin
timeout 60 "$run" --batch "${opts[@]}" "${prog[@]}" >.stdout 2>.stderr <"$input"
code=$?

exp_dir=$dir
exp_name=$name
if listed deviations.txt >/dev/null; then
  exp_dir=$lists/$(dirname "$id")
  exp_name=$(basename "$id")
fi
expect() { if [ -f "$exp_dir/$exp_name.$1" ]; then cat "$exp_dir/$exp_name.$1"; fi; }

# Blanks and "@" outside strings dropped, the rest of the text upper-cased.
normalize() {
  LC_ALL=C awk '
    match($0, /^\[.*\] Zeile +[0-9]+:  \| /) {
      head = substr($0, 1, RLENGTH); text = substr($0, RLENGTH + 1); out = ""; q = 0
      for (i = 1; i <= length(text); i++) {
        c = substr(text, i, 1)
        if (c == "\"") q = !q
        if (!q && (c == " " || c == "@")) continue
        out = out (q ? c : toupper(c))
      }
      print head out; next
    }
    { print }'
}

if ! diff -u <(expect out) .stdout >.diff; then
  echo "--- standard output differs:"; cat .diff; fail=1
fi
if ! diff -u <(expect err | normalize) <(normalize <.stderr) >.diff; then
  echo "--- standard error differs:"; cat .diff; fail=1
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
[ -f "$exp_dir/$exp_name.code" ] && want=$(tr -d ' \n' < "$exp_dir/$exp_name.code")
if [ "$code" != "$want" ]; then
  echo "--- exit code $code, expected $want"; fail=1
fi
exit $fail
