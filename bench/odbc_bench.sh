#!/usr/bin/env bash
# ODBC benchmark: SQLEXEC of a 100,000-row SELECT into "SQL.DAT" on SQLite
# against unixODBC's own client printing the same rows (isql -b), both
# through the same driver manager and driver. Prints the median of 5 runs
# of each and their ratio; the interpreter should need at most 1.5 times
# what isql needs.
# Usage: bench/odbc_bench.sh [build/bin/tilmor] [rows] [runs]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bin=$(realpath "${1:-$here/../build/bin/tilmor}")
rows=${2:-100000}
runs=${3:-5}
command -v isql >/dev/null || { echo "isql is missing: scripts/install-deps.sh installs unixodbc" >&2; exit 1; }
driver=
for d in /usr/lib/*/odbc /usr/lib/odbc /usr/local/lib/odbc; do
  [ -f "$d/libsqlite3odbc.so" ] && driver=$d/libsqlite3odbc.so && break
done
[ -n "$driver" ] || { echo "the SQLite ODBC driver is missing: scripts/install-deps.sh installs libsqliteodbc" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir sys windir
printf '[SQLite3]\nDriver=%s\n' "$driver" >sys/odbcinst.ini
: >sys/odbc.ini
printf '[BENCH]\nDriver=SQLite3\nDatabase=%s/bench.db\n' "$work" >odbc.ini
export ODBCSYSINI=$work/sys ODBCINI=$work/odbc.ini TILMOR_WINDIR=$work/windir

# The table: a number, a name, an amount, a date and a short text.
isql -b BENCH >/dev/null <<SQL
CREATE TABLE t (id INTEGER, name VARCHAR(20), amount DOUBLE, day DATE, note VARCHAR(40))
INSERT INTO t WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $rows) SELECT i, 'Name ' || i, i * 1.25, date('2000-01-01', '+' || (i % 9000) || ' days'), 'Bemerkung zu Nummer ' || i FROM n
SQL

printf 'PRINT @SQLINIT("DSN=BENCH")\r\nSQLEXEC "SELECT * FROM t", 2\r\nPRINT &SQLCOUNT\r\nSQLDONE\r\n' >bench.tmf
count=$("$bin" --batch bench.tmf | tr -d '\r' | tail -n 1)
[ "$count" = "$rows" ] || { echo "SQLEXEC delivered $count rows, not $rows" >&2; exit 1; }
lines=$(wc -l <SQL.DAT)
[ "$lines" = $((rows + 1)) ] || { echo "SQL.DAT has $lines lines, not $((rows + 1))" >&2; exit 1; }

seconds() {
  local start end
  start=$EPOCHREALTIME
  "$@" >/dev/null
  end=$EPOCHREALTIME
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f\n", e - s }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
run_isql() { echo "SELECT * FROM t" | isql -b BENCH; }

: >tilmor.times
: >isql.times
for ((r = 0; r < runs; r++)); do
  seconds "$bin" --batch bench.tmf >>tilmor.times
  seconds run_isql >>isql.times
done
t=$(median <tilmor.times)
i=$(median <isql.times)
awk -v t="$t" -v i="$i" -v n="$rows" -v runs="$runs" 'BEGIN {
  printf "SELECT of %d rows on SQLite (median of %d runs)\n", n, runs
  printf "tilmor SQLEXEC into SQL.DAT %8.3fs\n", t
  printf "isql -b                     %8.3fs\n", i
  printf "ratio %.2f (at most 1.50: %s)\n", t / i, (t / i <= 1.5) ? "yes" : "NO"
  exit (t / i <= 1.5) ? 0 : 1
}'
