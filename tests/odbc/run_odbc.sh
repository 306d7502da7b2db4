#!/usr/bin/env bash
# Runs the ODBC programs of one directory against a real database, each as
# an end-to-end program (tests/e2e/run_program.sh: NAME.tmf with its .out,
# .err, .code, .script, .expect/) and compiled with shtmcomp and run with
# tlmrun32 (tests/compiler/roundtrip.sh):
#   run_odbc.sh sqlite|postgresql TILMOR SHTMCOMP TLMRUN32 DIR
# The data source "TILMORTEST" (and "ZWEITE", a second one) lives in an
# odbc.ini and odbcinst.ini of its own (ODBCINI, ODBCSYSINI) in a temporary
# directory. SQLite: the database is the file test.db (zweite.db) in the
# program's working directory. PostgreSQL: a private server is started in
# the temporary directory, listening only on a Unix socket there, and every
# program gets a fresh database. NAME.env holds VAR=VALUE lines set for that
# program only. Exit code 77 (skipped) with a message when unixODBC, the
# driver or the server is missing.
set -u
kind=$1
tilmor=$(realpath "$2")
comp=$(realpath "$3")
run=$(realpath "$4")
dir=$(realpath "$5")
here=$(cd "$(dirname "$0")" && pwd)
e2e=$here/../e2e/run_program.sh
roundtrip=$here/../compiler/roundtrip.sh

skip() { echo "SKIPPED: $*"; exit 77; }

# A shared library the dynamic loader finds, or a driver in one of the
# directories where Debian and others put ODBC drivers.
have_library() { ldconfig -p 2>/dev/null | grep -q "$1"; }
find_driver() {
  local d
  for d in /usr/lib/*/odbc /usr/lib/odbc /usr/lib64 /usr/local/lib/odbc /usr/local/lib; do
    [ -f "$d/$1" ] && { echo "$d/$1"; return 0; }
  done
  return 1
}

have_library libodbc.so.2 || skip "unixODBC (libodbc.so.2) is not installed: scripts/install-deps.sh installs unixodbc"

tmp=$(mktemp -d)
server=
cleanup() {
  [ -n "$server" ] && as_server "$pgbin/pg_ctl" -D "$tmp/pg/data" -m immediate stop >/dev/null 2>&1
  rm -rf "$tmp"
}
trap cleanup EXIT

# The drivers in the system's place, the data sources as the user's, so
# that each is listed once.
mkdir "$tmp/sys"
: >"$tmp/sys/odbc.ini"
export ODBCSYSINI=$tmp/sys ODBCINI=$tmp/odbc.ini
case $kind in
  sqlite)
    driver=$(find_driver libsqlite3odbc.so) ||
      skip "the SQLite ODBC driver (libsqlite3odbc.so) is not installed: scripts/install-deps.sh installs libsqliteodbc"
    printf '[SQLite3]\nDescription=SQLite3\nDriver=%s\n' "$driver" >"$ODBCSYSINI/odbcinst.ini"
    printf '[TILMORTEST]\nDriver=SQLite3\nDatabase=test.db\n\n[ZWEITE]\nDriver=SQLite3\nDatabase=zweite.db\n' >"$ODBCINI"
    prepare() { :; }
    ;;
  postgresql)
    driver=$(find_driver psqlodbca.so) ||
      skip "the PostgreSQL ODBC driver (psqlodbca.so) is not installed: scripts/install-deps.sh installs odbc-postgresql"
    pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
    if [ -z "$pgbin" ] && command -v pg_ctl >/dev/null; then pgbin=$(dirname "$(command -v pg_ctl)"); fi
    [ -n "$pgbin" ] && [ -x "$pgbin/initdb" ] && [ -x "$pgbin/pg_ctl" ] ||
      skip "the PostgreSQL server (initdb, pg_ctl) is not installed: scripts/install-deps.sh installs postgresql"
    # The server refuses to run as root: then it runs as nobody, in a
    # directory of its own that the tests (root) reach as well.
    mkdir "$tmp/pg"
    if [ "$(id -u)" -eq 0 ]; then
      command -v setpriv >/dev/null || skip "running as root without setpriv to start the server as nobody"
      id nobody >/dev/null 2>&1 || skip "running as root and there is no user nobody to run the server"
      chmod 755 "$tmp"
      chown nobody "$tmp/pg"
      as_server() { setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups "$@"; }
    else
      as_server() { "$@"; }
    fi
    as_server "$pgbin/initdb" -D "$tmp/pg/data" -U tilmor --auth=trust -E UTF8 --no-locale \
      >"$tmp/pg/initdb.log" 2>&1 || { cat "$tmp/pg/initdb.log"; echo "initdb failed"; exit 1; }
    as_server "$pgbin/pg_ctl" -D "$tmp/pg/data" -l "$tmp/pg/server.log" -w -t 60 \
      -o "-k $tmp/pg -c listen_addresses= -c fsync=off -c log_min_messages=debug1" start >/dev/null 2>&1 ||
      { cat "$tmp/pg/server.log"; echo "the server did not start"; exit 1; }
    server=1
    printf '[PostgreSQL]\nDescription=PostgreSQL\nDriver=%s\n' "$driver" >"$ODBCSYSINI/odbcinst.ini"
    for dsn in TILMORTEST ZWEITE; do
      db=$(echo "$dsn" | tr 'A-Z' 'a-z')
      printf '[%s]\nDriver=PostgreSQL\nServername=%s\nDatabase=%s\nUsername=tilmor\n\n' \
        "$dsn" "$tmp/pg" "$db" >>"$ODBCINI"
    done
    # Fresh databases for every run.
    prepare() {
      local db
      for db in tilmortest zweite; do
        "$pgbin/dropdb" -h "$tmp/pg" -U tilmor --if-exists "$db" >/dev/null 2>&1
        "$pgbin/createdb" -h "$tmp/pg" -U tilmor "$db" || return 1
      done
    }
    ;;
  *)
    echo "unknown database $kind"; exit 2 ;;
esac

fails=0
count=0
for prog in "$dir"/*.tmf; do
  name=$(basename "$prog" .tmf)
  id=$(basename "$dir")/$name
  for how in interpreter compiled; do
    count=$((count + 1))
    prepare || { echo "--- $id: the databases could not be made"; fails=$((fails + 1)); continue; }
    (
      if [ -f "$dir/$name.env" ]; then
        while IFS= read -r line || [ -n "$line" ]; do
          case "$line" in ''|'#'*) continue ;; esac
          export "${line?}"
        done <"$dir/$name.env"
      fi
      if [ $how = interpreter ]; then
        bash "$e2e" "$tilmor" "$prog"
      else
        bash "$roundtrip" "$comp" "$run" "$prog" "$id" "$here"
      fi
    ) >"$tmp/result" 2>&1
    if [ $? -ne 0 ]; then
      echo "--- $id ($how) failed:"
      cat "$tmp/result"
      fails=$((fails + 1))
    else
      echo "ok $id ($how)"
    fi
  done
done
[ "$count" -gt 0 ] || { echo "no programs in $dir"; exit 1; }

if [ "$kind" = postgresql ]; then
  # Ended from outside while connected: a signal while waiting for a key.
  count=$((count + 1))
  prepare
  mkdir "$tmp/signal" && cd "$tmp/signal"
  printf 'PRINT @SQLINIT("DSN=TILMORTEST")\r\nWAITKEY\r\nPRINT "never"\r\n' >wait.tmf
  TILMOR_WINDIR=$tmp/signal "$tilmor" --batch wait.tmf >out 2>err < <(sleep 60) &
  pid=$!
  for i in $(seq 100); do grep -q 1 out 2>/dev/null && break; sleep 0.1; done
  sleep 0.2
  kill -TERM "$pid"
  wait "$pid"
  code=$?
  cd "$here"
  if [ "$code" != 255 ] || [ "$(cat "$tmp/signal/out")" != 1 ]; then
    echo "--- ended by SIGTERM while connected: exit code $code, output $(cat "$tmp/signal/out")"
    fails=$((fails + 1))
  else
    echo "ok ended by SIGTERM while connected"
  fi
  # Every connection was closed by the program, however it ended: the
  # server saw no client simply go away. Stopped first, so that every
  # backend has written what it saw.
  count=$((count + 1))
  as_server "$pgbin/pg_ctl" -D "$tmp/pg/data" -m fast -w stop >/dev/null 2>&1
  server=
  lost=$(grep -c "unexpected EOF on client connection" "$tmp/pg/server.log")
  if [ "$lost" -gt 0 ]; then
    echo "--- $lost connections were not closed by their programs (the server saw the client go away)"
    fails=$((fails + 1))
  else
    echo "ok every connection closed"
  fi
fi
echo "$((count - fails)) of $count runs passed"
[ "$fails" -eq 0 ]
