#!/usr/bin/env bash
# DDE conversations with real servers on a private D-Bus session bus:
# what the servers receive, refusals, servers that never answer, and a
# program without any session bus.
#   dde_test.sh TILMOR UNIT_TESTS
set -u
if ! command -v dbus-run-session >/dev/null || ! /usr/bin/python3 -c 'import dbus, gi' 2>/dev/null; then
  echo "SKIP: dbus-run-session or python3-dbus/python3-gi missing (scripts/install-deps.sh)"
  exit 77
fi
if [ -z "${TILMOR_DDE_BUS:-}" ]; then
  exec dbus-run-session -- env TILMOR_DDE_BUS=1 bash "$0" "$@"
fi
tilmor=$(realpath "$1")
unit=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT
export TILMOR_WINDIR=$work
fail=0

# server APP ARGS...: starts one and waits until it owns its name.
server() {
  local app=$1; shift
  rm -f "$work/$app.ready"
  /usr/bin/python3 "$here/dde_server.py" "$app" "$work/$app.log" "$work/$app.ready" "$@" &
  pids+=($!)
  for _ in $(seq 100); do [ -f "$work/$app.ready" ] && return; sleep 0.1; done
  echo "server $app did not start"; exit 1
}

# check NAME: runs NAME.tmf from this folder, compares with NAME.out.
check() {
  cp "$here/$1.tmf" "$work/"
  local out
  out=$(cd "$work" && timeout 120 "$tilmor" --batch "$1.tmf" 2>&1)
  if [ "$out" != "$(cat "$here/$1.out")" ]; then
    echo "--- $1: expected"; cat "$here/$1.out"; echo "--- got"; echo "$out"; fail=1
  fi
}

expect_log() {
  if [ "$(cat "$work/$1.log" 2>/dev/null)" != "$2" ]; then
    echo "--- $1 received:"; cat "$work/$1.log" 2>/dev/null; echo "--- expected:"; echo "$2"; fail=1
  fi
}

server EDITOR --topics System,Daten --refuse NEIN
server LANGSAM --delay 1500
server STUMM --mute-initiate
server TAUB --mute-execute

check conversation
expect_log EDITOR "Initiate Unbekannt
Initiate System
Execute System [Öffne(a.txt)]
Execute System NEIN
Terminate System
Initiate Daten
Terminate Daten"
check slow
expect_log LANGSAM "Initiate System
Execute System warte
Terminate System"
check silent
expect_log STUMM "Initiate System"
expect_log TAUB "Initiate System
Execute System hallo"

# No session bus at all: nobody answers, at once.
cp "$here/nobus.tmf" "$work/"
out=$(cd "$work" && env -u DBUS_SESSION_BUS_ADDRESS -u XDG_RUNTIME_DIR timeout 20 "$tilmor" --batch nobus.tmf 2>&1)
[ "$out" = "$(cat "$here/nobus.out")" ] || { echo "--- nobus:"; echo "$out"; fail=1; }

# The wait for an acknowledgement keeps pumping the program's messages.
TILMOR_DDE_APP=LANGSAM "$unit" --gtest_filter='DdeBus.*' >"$work/unit.txt" 2>&1 || { cat "$work/unit.txt"; fail=1; }
grep -q "PASSED.*2 tests" "$work/unit.txt" || { echo "--- the bus unit tests did not run"; cat "$work/unit.txt"; fail=1; }

[ $fail = 0 ] && echo "DDE conversations as expected"
exit $fail
