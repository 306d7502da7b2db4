#!/usr/bin/env bash
# A program that needs no window runs without Qt: its process maps neither
# the window-system module nor a Qt library, and stays small. One that
# waits for a key loads both. Without the module, only what needs a window
# fails, with a message. The sound libraries likewise: mapped only by a
# program that makes sound, and then without Qt.
#   lazy_gui.sh TILMOR SHTMCOMP TLMRUN32
set -u
here=$(cd "$(dirname "$0")" && pwd)
tilmor=$(realpath "$1")
comp=$(realpath "$2")
run=$(realpath "$3")
work=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
mkdir .windir
export TILMOR_WINDIR=$work/.windir

fails=0
fail() { echo "--- $*"; fails=$((fails + 1)); }

# A busy program that prints, computes, uses a file and a table; and one
# that waits for a key.
cat > busy.tmf <<'PROG'
DECLARE I%, A$
PRINT "started"
ASSIGN #1, "f.txt"
REWRITE #1
PRINT #1, "x"
CLOSE #1
LET A$ = @MID$("abcdef", 2, 3)
WHILE 1
  INC I%
WEND
PROG
printf 'PRINT "started"\nWAITKEY\n' > waits.tmf
cp "$here/../e2e/sound/chime.wav" .
printf 'PLAYSOUND "chime.wav",9\nMUSIC "CDE"\nPRINT "started"\nWHILE 1\nWEND\n' > sounds.tmf
"$comp" --batch busy.tmf >/dev/null 2>&1 || fail "busy.tmf does not compile"

# look NAME WANT(none|qt) COMMAND...: starts the program, waits until it
# has printed, then reads its memory map and peak size.
look() {
  local name=$1 want=$2
  shift 2
  "$@" >.out 2>.err < <(sleep 60) &
  local pid=$! i
  for i in $(seq 200); do grep -q started .out && break; sleep 0.05; done
  # Text comes before the wait that loads the window system: give it time
  # (a busy machine) to come; its absence is looked at once it runs.
  local maps peak
  sleep 0.3
  for i in $(seq 200); do
    maps=$(cat "/proc/$pid/maps" 2>/dev/null)
    case $want in
      none) break ;;
      sound) grep -q libtilmor_sound <<<"$maps" && break ;;
      *) grep -q libQt6Widgets <<<"$maps" && break ;;
    esac
    sleep 0.05
  done
  peak=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null)
  kill -TERM "$pid"
  wait "$pid"
  [ -n "$maps" ] || { fail "$name: no memory map read"; return; }
  local gui=no qt=no sound=no
  grep -q 'libtilmor_gui' <<<"$maps" && gui=yes
  grep -q 'libQt6' <<<"$maps" && qt=yes
  grep -Eq 'libtilmor_sound|libfluidsynth|libasound|libsndfile|libcanberra' <<<"$maps" && sound=yes
  if [ "$want" = sound ]; then
    grep -q 'libtilmor_sound' <<<"$maps" || fail "$name: the sound module is not loaded"
    [ $qt = no ] || fail "$name: Qt is loaded for sound"
    return
  fi
  [ $sound = no ] || fail "$name: sound libraries are loaded: $(grep -Eo 'lib(tilmor_sound|fluidsynth|asound|sndfile|canberra)[^/]*' <<<"$maps" | sort -u | tr '\n' ' ')"
  if [ "$want" = none ]; then
    [ $gui = no ] || fail "$name: the window-system module is loaded"
    [ $qt = no ] || fail "$name: Qt is loaded: $(grep -o 'libQt6[A-Za-z]*' <<<"$maps" | sort -u | tr '\n' ' ')"
    [ "${peak:-99999}" -lt 10240 ] || fail "$name: peak memory ${peak} kB, want below 10 MB"
  else
    [ $gui = yes ] || fail "$name: the window-system module is not loaded"
    grep -q 'libQt6Widgets' <<<"$maps" || fail "$name: Qt Widgets is not loaded"
  fi
}

look "tilmor, no window" none "$tilmor" --batch busy.tmf
look "tlmrun32, no window" none "$run" --batch busy.tmc
look "tilmor, a wait needs the window" qt "$tilmor" --batch waits.tmf
look "tilmor with a screenshot" qt "$tilmor" --batch --screenshot shot.png busy.tmf
look "tilmor playing a sound" sound "$tilmor" --batch sounds.tmf

# Without the module a program that needs no window still runs; one that
# needs one ends with exit code 255 and says why.
printf 'PRINT "ohne"\n' > plain.tmf
out=$(TILMOR_GUI_MODULE=$work/none.so "$tilmor" --batch plain.tmf 2>&1)
code=$?
[ $code = 0 ] && [ "$out" = ohne ] || fail "no module, no window: exit $code, output $out"
out=$(TILMOR_GUI_MODULE=$work/none.so "$tilmor" --batch waits.tmf 2>&1 </dev/null)
code=$?
[ $code = 255 ] || fail "no module, a wait: exit $code, want 255"
grep -q "^tilmor: no window system: .*none.so" <<<"$out" || fail "no module, a wait: no message: $out"

if [ "$fails" -gt 0 ]; then echo "$fails failed"; exit 1; fi
exit 0
