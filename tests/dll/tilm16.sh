#!/usr/bin/env bash
# DEF functions of kind "*" with a TILM16 of our own: it reads the
# parameter file, answers through it and writes the marker file, or ends
# without one; the interpreter must neither hang nor leave files behind.
#   tilm16.sh TILMOR
set -u
tilmor=$(realpath "$1")
py=/usr/bin/python3
if [ ! -x "$py" ]; then echo "SKIP: $py is missing (scripts/install-deps.sh)"; exit 77; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TILMOR_WINDIR=$work/windir
mkdir -p "$work/windir" "$work/bin" "$work/run"

# The helper: "SUMME" adds the numbers and upper-cases the areas, "SPAET"
# does the same after half a second, "OHNE" ends without a marker.
cat > "$work/bin/tilm16" <<P
#!$py
import os, struct, sys, time
with open("$work/log.txt", "a") as log:
    log.write(" ".join(sys.argv[1:]) + "\n")
dll, fn, desc, rtype = sys.argv[1].split("|")
path = sys.argv[2]
if path[1:3] == ":\\\\":
    path = path[2:]
path = path.replace("\\\\", "/")
data = bytearray(open(path, "rb").read())
pos, total = 0, 0
for c in desc:
    if c == "%":
        total += struct.unpack_from("<h", data, pos)[0]; pos += 2
    elif c == "&":
        total += struct.unpack_from("<i", data, pos)[0]; pos += 4
    else:
        size = struct.unpack_from("<I", data, pos)[0]; pos += 4
        data[pos:pos + size] = bytes(data[pos:pos + size]).upper(); pos += size
if fn == "OHNE":
    sys.exit(1)
if fn == "SPAET":
    time.sleep(0.5)
data[pos:] = struct.pack("<i", total)
open(path, "wb").write(data)
open(path + "!", "w").close()
P
chmod +x "$work/bin/tilm16"
export PATH="$work/bin:$PATH"

cat > "$work/run/p.tmf" <<'P'
DEF @SUMME(3) *"ALT.DLL","SUMME","%&#","&"
DEF @SPAET(2) *"ALT.DLL","SPAET","&&","%"
DEF @OHNE(1) *"ALT.DLL","OHNE","&","&"
DEF @KEINTYP(1) *"ALT.DLL","SUMME","&","!"
DECLARE B#, R&
DIM B#, 9
STRING B#, 0 = "kleine"
LET R& = @SUMME(-5, 100000, B#)
PRINT R&; " "; @STRING$(B#, 0)
PRINT @SPAET(20, 22)
PRINT @KEINTYP(7)
PRINT @OHNE(1); " weiter"
PRINT "[" ; @FINDFIRST$("P*.$"); "]"
P
expected_out=$'99995 KLEINE\n42\n0\n0 weiter\n[]'
expected_err='[Fehler beim Laden der DLL: ALT.DLL] Zeile     12:  | PRINT @OHNE(1); " weiter"'
fail=0
cd "$work/run"
timeout 60 "$tilmor" --batch p.tmf >out.txt 2>err.txt
code=$?
[ $code = 0 ] || { echo "exit code $code"; fail=1; }
[ "$(cat out.txt)" = "$expected_out" ] || { echo "--- output:"; cat out.txt; fail=1; }
[ "$(cat err.txt)" = "$expected_err" ] || { echo "--- boxes:"; cat err.txt; fail=1; }
# The command lines: DLL|function|description|result type, then the
# parameter file "P" + seven digits + ".$" with its full path.
if ! grep -Eq '^ALT\.DLL\|SUMME\|%&#\|& C:.*\\run\\P[0-9]{7}\.\$$' "$work/log.txt"; then
  echo "--- command lines:"; cat "$work/log.txt"; fail=1
fi
[ "$(wc -l < "$work/log.txt")" = 4 ] || { echo "--- not four calls:"; cat "$work/log.txt"; fail=1; }
names=$(sed 's/.*\\//' "$work/log.txt" | sort -u | wc -l)
[ "$names" = 4 ] || { echo "--- parameter file names repeat"; fail=1; }

# Without any TILM16 the call gives up at once.
rm "$work/bin/tilm16"
start=$(date +%s)
timeout 60 "$tilmor" --batch p.tmf >out.txt 2>err.txt
[ $(( $(date +%s) - start )) -lt 10 ] || { echo "--- too slow without TILM16"; fail=1; }
grep -c "Fehler beim Laden der DLL: ALT.DLL" err.txt | grep -qx 4 || { echo "--- warnings:"; cat err.txt; fail=1; }
[ -z "$(ls "$work/run" | grep -v -e '^p.tmf$' -e '^out.txt$' -e '^err.txt$')" ] || { echo "--- files left:"; ls "$work/run"; fail=1; }

[ $fail = 0 ] && echo "TILM16 protocol as expected"
exit $fail
