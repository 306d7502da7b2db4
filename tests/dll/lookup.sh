#!/usr/bin/env bash
# Where a library name is looked for: beside the program (also after the
# program changed its directory), beside the interpreter, by a path whose
# parts match case-insensitively; and nowhere else.
#   lookup.sh TILMOR LIBRARY
set -u
tilmor=$(realpath "$1")
lib=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TILMOR_WINDIR=$work/windir
mkdir -p "$work/windir" "$work/Prog" "$work/Lib/Sub" "$work/bin" "$work/other"
fail=0

# run NAME EXPECTED-OUT [TILMOR]: runs Prog/NAME.tmf from $work.
run() {
  local bin=${3:-$tilmor}
  local out
  out=$(cd "$work" && timeout 60 "$bin" --batch "Prog/$1.tmf" 2>&1)
  if [ "$out" != "$2" ]; then
    echo "--- $1: expected"; echo "$2"; echo "--- got"; echo "$out"; fail=1
  fi
}

cp "$lib" "$work/Prog/libRechner.so"
cat > "$work/Prog/beside.tmf" <<'P'
DEF @PLUS(2) !"RECHNER.DLL","tm_add"
PRINT @PLUS(20, 22)
CHDIR "..\other"
PRINT @PLUS(1, 1)
P
run beside $'42\n2'

cp "$lib" "$work/Lib/Sub/rechner.so"
cat > "$work/Prog/path.tmf" <<'P'
DEF @PLUS(2) !"LIB\SUB\RECHNER.SO","tm_add"
DEF @FEHLT(2) !"LIB\SUB\ANDERS.SO","tm_add"
PRINT @PLUS(3, 4)
PRINT @FEHLT(3, 4)
P
run path $'7\n[Fehler beim Laden der DLL: LIB\\SUB\\ANDERS.SO] Zeile      4:  | PRINT @FEHLT(3, 4)'

# A library only in another directory is not found.
cp "$lib" "$work/other/libNurDa.so"
cat > "$work/Prog/nowhere.tmf" <<'P'
DEF @PLUS(2) !"NURDA","tm_add"
PRINT @PLUS(3, 4)
P
run nowhere '[Fehler beim Laden der DLL: NURDA] Zeile      2:  | PRINT @PLUS(3, 4)'

# Beside the interpreter: a copy of it with the library next to it.
cp "$tilmor" "$work/bin/tilmor"
cp "$lib" "$work/bin/libdaneben.so"
cat > "$work/Prog/self.tmf" <<'P'
DEF @PLUS(2) !"DANEBEN.DLL","tm_add"
PRINT @PLUS(5, 6)
P
run self '11' "$work/bin/tilmor"
run self '[Fehler beim Laden der DLL: DANEBEN.DLL] Zeile      2:  | PRINT @PLUS(5, 6)'

[ $fail = 0 ] && echo "all lookups as expected"
exit $fail
