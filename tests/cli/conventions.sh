#!/usr/bin/env bash
# The command-line conventions of the three programs: --help, --version,
# refused options, "--", and the line naming a file that cannot be opened.
#   conventions.sh TILMOR SHTMCOMP TLMRUN32
set -u
tilmor=$(realpath "$1")
comp=$(realpath "$2")
run=$(realpath "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir .windir
export TILMOR_WINDIR=$work/.windir

fails=0
fail() { echo "--- $*"; fails=$((fails + 1)); }
# check NAME WANT_CODE WANT_STDOUT WANT_STDERR COMMAND...
check() {
  local name=$1 code=$2 out=$3 err=$4
  shift 4
  timeout 20 "$@" >.out 2>.err </dev/null
  local got=$?
  if [ "$got" != "$code" ] || [ "$(cat .out)" != "$out" ] || [ "$(cat .err)" != "$err" ]; then
    fail "$name: exit $got (want $code)"
    echo "stdout: $(cat .out)"; echo "  want: $out"
    echo "stderr: $(cat .err)"; echo "  want: $err"
  fi
}

for prog in tilmor shtmcomp tlmrun32; do
  case $prog in
    tilmor) bin=$tilmor ver=5.0b-32 arg='[PROGRAM[.TMF] [ARGUMENTS...]]' ;;
    shtmcomp) bin=$comp ver=5.0a-32 arg='[SOURCE[.TMF]]' ;;
    tlmrun32) bin=$run ver=5.0b-32 arg='[PROGRAM[.TMC] [ARGUMENTS...]]' ;;
  esac
  # Help and version need no display and open nothing.
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" --help >.out 2>.err
  code=$?
  [ $code = 0 ] || fail "$prog --help: exit $code"
  [ -s .err ] && fail "$prog --help wrote on standard error: $(cat .err)"
  head -1 .out | grep -qxF "Usage: $prog [OPTIONS] $arg" || fail "$prog --help: usage line $(head -1 .out)"
  for opt in --batch '--script FILE' '--screenshot FILE' --help --version; do
    grep -q -- "^  $opt " .out || fail "$prog --help does not list $opt"
  done
  check "$prog --version" 0 "$prog (TILMOR for Linux) $ver" "" "$bin" --version
  check "$prog --version after another option" 0 "$prog (TILMOR for Linux) $ver" "" "$bin" --batch --version

  # A word beginning with -- before the file is an option or an error,
  # never a file name.
  try="Try '$prog --help' for more information."
  check "$prog unknown option" 2 "" "$(printf '%s: unknown option --bogus\n%s' "$prog" "$try")" \
    "$bin" --batch --bogus prog.tmf
  check "$prog option without its file" 2 "" \
    "$(printf '%s: option --script needs a file name\n%s' "$prog" "$try")" "$bin" --batch --script
done

box='[T I L M O R ²] Aufruf mit:  | TILMOR [<Dateiname>]'
check "missing program" 2 "" "$(printf 'tilmor: cannot open fehlt.TMF: no such file\n%s' "$box")" \
  "$tilmor" --batch fehlt
ln -s /dev/zero zero.tmf
check "program that is a device" 2 "" \
  "$(printf 'tilmor: cannot open zero.tmf: not a regular file\n%s' "$box")" "$tilmor" --batch zero.tmf
mkfifo fifo.tmf
check "program that is a FIFO" 2 "" \
  "$(printf 'tilmor: cannot open fifo.tmf: not a regular file\n%s' "$box")" "$tilmor" --batch fifo.tmf
mkdir dir.tmf
check "program that is a directory" 2 "" \
  "$(printf 'tilmor: cannot open dir.tmf: is a directory\n%s' "$box")" "$tilmor" --batch dir.tmf
check "missing source" 2 "" \
  "$(printf 'shtmcomp: cannot open fehlt.TMF: no such file\n[TILMOR²-COMPILER] Datei kann nicht erzeugt werden: fehlt.TMF')" \
  "$comp" --batch fehlt
check "missing compiled program" 2 "" \
  "$(printf 'tlmrun32: cannot open fehlt.TMC: no such file\n[T I L M O R ²] Aufruf mit:  | TILMRUN [<Dateiname>]')" \
  "$run" --batch fehlt
check "compiled program that is a device" 2 "" \
  "$(printf 'tlmrun32: cannot open zero.tmc: not a regular file\n[T I L M O R ²] Aufruf mit:  | TILMRUN [<Dateiname>]')" \
  bash -c "ln -s /dev/zero zero.tmc && exec '$run' --batch zero.tmc"

# "--" ends the options; words after the program are the program's own.
printf 'PRINT %%PARCOUNT; " "; @PAR$(2)\n' > ./--odd.tmf
check "file after --" 0 "2 --help" "" "$tilmor" --batch -- --odd.tmf --help
cp ./--odd.tmf args.tmf
check "options after the program are its arguments" 0 "3 --bogus" "" "$tilmor" --batch args.tmf --bogus x

# Both options with a file name take theirs.
printf 'answer OK\n' > answers.script
printf 'PRINT "shot"\n' > shot.tmf
check "script and screenshot" 0 "shot" "" "$tilmor" --batch --script answers.script --screenshot shot.png shot.tmf
[ "$(head -c 4 shot.png 2>/dev/null | od -An -c | tr -d ' ')" = '211PNG' ] || fail "no PNG written by --screenshot"

if [ "$fails" -gt 0 ]; then echo "$fails failed"; exit 1; fi
exit 0
