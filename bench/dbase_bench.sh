#!/usr/bin/env bash
# dBase benchmark: creates a table, appends 100,000 records, builds an index
# over a character and one over a numeric field, runs 100,000 @DBFIND
# lookups and walks the whole table in index order. Prints the time of each
# step in milliseconds, measured by the program itself.
# Usage: bench/dbase_bench.sh [build/bin/tilmor] [records]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bin=$(realpath "${1:-$here/../build/bin/tilmor}")
n=${2:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf 'NAME;C;10;0\nNUM;N;8;0\nCITY;C;20;0\n' > bench.def
cat > bench.tmf <<PROG
DECLARE I%, K%, T&, E&, F%, N%
LET N% = $n
DBCREATE "bench.def" > "BENCH"
@DBOPEN(#1,"BENCH")
LET T& = &GETTICKCOUNT
LET I% = 0
WHILE @LT(I%,N%)
  LET K% = @MOD(@MUL(I%,7919),N%)
  @DBPUT("NAME",@ADD\$("K",@STR\$(K%)))
  @DBPUT("NUM",K%)
  @DBPUTREC(-1)
  INC I%
WEND
LET E& = @SUB(&GETTICKCOUNT,T&)
PRINT "append      "; E&; " ms - records "; &DBRECCOUNT
LET T& = &GETTICKCOUNT
DBCREATEINDEX "NAME" > "BYNAME"
LET E& = @SUB(&GETTICKCOUNT,T&)
PRINT "index char  "; E&; " ms"
LET T& = &GETTICKCOUNT
DBCREATEINDEX "NUM" > "BYNUM"
LET E& = @SUB(&GETTICKCOUNT,T&)
PRINT "index num   "; E&; " ms"
LET T& = &GETTICKCOUNT
LET I% = 0
LET F% = 0
WHILE @LT(I%,N%)
  IF @DBFIND(@STR\$(I%),1)
    INC F%
  ENDIF
  INC I%
WEND
LET E& = @SUB(&GETTICKCOUNT,T&)
PRINT "find num    "; E&; " ms - found "; F%
@DBINDEX("BYNAME")
LET T& = &GETTICKCOUNT
LET I% = 0
LET F% = 0
WHILE @LT(I%,N%)
  IF @DBFIND(@ADD\$("K",@STR\$(I%)),1)
    INC F%
  ENDIF
  INC I%
WEND
LET E& = @SUB(&GETTICKCOUNT,T&)
PRINT "find char   "; E&; " ms - found "; F%
LET T& = &GETTICKCOUNT
LET I% = 0
@DBGO("TOP")
WHILENOT %DBEOF
  INC I%
  @DBGO("NEXT")
WEND
LET E& = @SUB(&GETTICKCOUNT,T&)
PRINT "walk        "; E&; " ms - records "; I%
LET T& = &GETTICKCOUNT
LET I% = 0
WHILE @LT(I%,N%)
  INC I%
WEND
LET E& = @SUB(&GETTICKCOUNT,T&)
PRINT "empty loop  "; E&; " ms (the interpreter's own share of a loop)"
@DBCLOSE(#1)
PROG
QT_QPA_PLATFORM=offscreen TILMOR_WINDIR="$work" "$bin" --batch bench.tmf
