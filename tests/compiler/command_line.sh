#!/usr/bin/env bash
# shtmcomp and tlmrun32 from the command line in batch mode: file names,
# boxes on standard error, script answers and exit codes.
#   command_line.sh SHTMCOMP TLMRUN32
set -u
comp=$(realpath "$1")
run=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir .windir
export TILMOR_WINDIR=$work/.windir

fails=0
# check NAME WANT_CODE WANT_STDOUT WANT_STDERR COMMAND...
check() {
  local name=$1 code=$2 out=$3 err=$4
  shift 4
  "$@" >.out 2>.err </dev/null
  local got=$?
  if [ "$got" != "$code" ] || [ "$(cat .out)" != "$out" ] || [ "$(cat .err)" != "$err" ]; then
    echo "--- $name: exit $got (want $code)"
    echo "stdout: $(cat .out)"; echo "  want: $out"
    echo "stderr: $(cat .err)"; echo "  want: $err"
    fails=$((fails + 1))
  fi
}

success='[ZEL-TILMOR² COMPILER 5.0a-32] Programm erfolgreich compiliert!'
printf 'PRINT 1\nPRINT %%PARCOUNT\nCASE @GT(%%PARCOUNT, 1): PRINT @PAR$(2)\n' > DEMO.TMF

check "name without extension" 0 "" "$success" "$comp" --batch demo
[ -f demo.tmc ] || { echo "--- demo.tmc not written"; fails=$((fails + 1)); }
check "runtime adds .TMC" 0 "$(printf '1\n3\neins')" "" "$run" --batch demo eins zwei
check "runtime with .tmc and arguments" 0 "$(printf '1\n4\na')" "" "$run" --batch demo.tmc a b c

check "compiler without source, dialog cancelled" 2 "" \
  "[TILMOR²-COMPILER] Aufruf mit:  | SHTMCOMP [<Dateiname>]" "$comp" --batch
printf 'file DEMO.TMF\n' > choose.script
rm -f DEMO.tmc demo.tmc
check "compiler source from the dialog" 0 "" "$success" "$comp" --batch --script choose.script
[ -f DEMO.tmc ] || { echo "--- DEMO.tmc not written"; fails=$((fails + 1)); }
check "compiler without display runs in batch mode" 0 "" "$success" \
  env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$comp" DEMO.TMF
check "unreadable source" 2 "" \
  "$(printf 'shtmcomp: cannot open fehlt.TMF: no such file\n[TILMOR²-COMPILER] Datei kann nicht erzeugt werden: fehlt.TMF')" \
  "$comp" --batch fehlt
check "unreadable script" 2 "" "shtmcomp: cannot read script nichts" "$comp" --batch --script nichts demo

printf 'PRINT 1\nNIRGENDS 2\n' > bad.tmf
check "compile error" 2 "" "[Befehl unbekannt: NIRGENDS] Zeile      2: NIRGENDS 2" "$comp" --batch bad.tmf
printf 'PRINT "%0300d"\n' 0 > long.tmf
check "loading failure" 1 "" "[TILMOR²-COMPILER] Zeile zu lang (max. 254 Zeichen)!" "$comp" --batch long.tmf

check "runtime without program" 2 "" "[T I L M O R ²] Aufruf mit:  | TILMRUN [<Dateiname>]" "$run" --batch
printf 'file DEMO.tmc\n' > run.script
check "runtime program from the dialog" 0 "$(printf '1\n0')" "" "$run" --batch --script run.script
printf 'PRINT 1\n' > plain.tmc
check "runtime on a source file" 1 "" "[T I L M O R ²] Keine TILMOR² Datei!" "$run" --batch plain.tmc
head -c 40 DEMO.tmc > cut.tmc
check "runtime on a cut file" 1 "" "[T I L M O R ²] Programmdatei fehlerhaft!" "$run" --batch cut.tmc

printf '$P+\nDECLARE A%%\nLET A%% = 2\nPRINT "A="; A%%\nPRINT @DIV(1, 0)\nPRINT "nie"\n' > prot.tmf
check "protected program compiles" 0 "" "$success" "$comp" --batch prot.tmf
check "protected program runs, runtime error box and code" 3 "A=2" \
  "[Division durch 0!] Zeile      5:  | PRINT @DIV(1,0)" "$run" --batch prot.tmc

printf 'PRINT "vorher"\nPRINT X%%\nPRINT "nie"\n' > ask.tmf
printf 'answer CANCEL\n' > ask.script
check "script answers the boxes of the compiled program" 3 "vorher" \
  "$(printf '[Variable nicht declariert: X%%] Zeile      2:  | PRINT X%%\n[Programm abgebrochen!] Zeile      2:  | PRINT X%%')" \
  bash -c "'$comp' --batch ask.tmf 2>/dev/null && exec '$run' --batch --script ask.script ask.tmc"

if [ "$fails" -gt 0 ]; then echo "$fails failed"; exit 1; fi
exit 0
