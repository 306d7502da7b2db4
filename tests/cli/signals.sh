#!/usr/bin/env bash
# SIGTERM, SIGINT and SIGHUP end a program promptly with exit code 255
# wherever it is: waiting for a key or a line, inside a message box, with
# its window left open after the last line, or busy; with a window (Qt's
# offscreen platform, not batch mode) and in batch mode. The table and the
# text file it wrote are closed properly: the record count is in the
# table's header and the line is in the file.
#   signals.sh TILMOR SHTMCOMP TLMRUN32
set -u
tilmor=$(realpath "$1")
comp=$(realpath "$2")
run=$(realpath "$3")
work=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
mkdir .windir
export TILMOR_WINDIR=$work/.windir
printf 'ID;N;4;0\r\nNAME;C;10;0\r\n' > plain.def

# The program writes three records and a line, makes the file ready.txt,
# then does what its last lines say.
program() {
  printf 'DECLARE I%%, A$\r\nDBCREATE "plain.def" > "t.dbf"\r\nPRINT @DBOPEN(#1,"t.dbf")\r\n'
  printf 'WHILE @LT(I%%,3)\r\n  @DBPUT("ID",I%%)\r\n  @DBPUTREC(-1)\r\n  INC I%%\r\nWEND\r\n'
  printf 'ASSIGN #2, "out.txt"\r\nREWRITE #2\r\nPRINT #2, "written"\r\n'
  printf 'ASSIGN #3, "ready.txt"\r\nREWRITE #3\r\nCLOSE #3\r\n'
  for line in "$@"; do printf '%s\r\n' "$line"; done
}

fails=0
fail() { echo "--- $*"; fails=$((fails + 1)); }

# state PID: the process state letter (R running, S sleeping, Z ended, ...).
state() { awk '{print $3}' "/proc/$1/stat" 2>/dev/null; }
running() { local s; s=$(state "$1"); [ -n "$s" ] && [ "$s" != Z ]; }

# try NAME SIGNAL WAITSTATE COMMAND...: starts the program, waits for
# ready.txt and for the state (S: blocked in its wait; R: busy), sends the
# signal and checks how it ended.
try() {
  local name=$1 sig=$2 want=$3
  shift 3
  rm -f t.dbf out.txt ready.txt .out .err
  # Standard input stays open and empty: a batch wait blocks on it.
  "$@" >.out 2>.err < <(sleep 60) &
  local pid=$! i
  for i in $(seq 200); do [ -f ready.txt ] && break; sleep 0.05; done
  for i in $(seq 200); do [ "$(state $pid)" = "$want" ] && break; sleep 0.05; done
  sleep 0.2
  if [ "$(state $pid)" != "$want" ]; then
    fail "$name: not in state $want before SIG$sig: $(state $pid)"
  fi
  kill -"$sig" "$pid"
  for i in $(seq 200); do running "$pid" || break; sleep 0.05; done
  if running "$pid"; then
    fail "$name: still running 10 s after SIG$sig"
    kill -9 "$pid"
  fi
  wait "$pid"
  local code=$?
  [ "$code" = 255 ] || fail "$name: exit code $code after SIG$sig, want 255 ($(head -c 300 .err))"
  grep -q never .out && fail "$name: the program went on after SIG$sig"
  local count
  count=$(od -An -tu4 -j4 -N4 t.dbf 2>/dev/null | tr -d ' ')
  [ "$count" = 3 ] || fail "$name: table header says $count records, want 3 (table not closed)"
  [ "$(tr -d '\r' < out.txt 2>/dev/null)" = written ] || fail "$name: out.txt not written: $(cat out.txt 2>/dev/null)"
}

program WAITKEY 'PRINT "never"' > waitkey.tmf
program 'INPUT A$' 'PRINT "never"' > input.tmf
# An undeclared variable: a warning box with OK and Cancel.
program 'PRINT X%' 'PRINT "never"' > box.tmf
program > last.tmf
program 'WHILE 1' 'INC I%' 'WEND' > busy.tmf

# With a window: Qt's offscreen platform is a display, without --batch.
# (env replaces itself with the program, so the signal reaches it.)
window=(env QT_QPA_PLATFORM=offscreen)
for sig in TERM INT HUP; do
  try "window, WAITKEY" $sig S "${window[@]}" "$tilmor" waitkey.tmf
done
try "window, INPUT" TERM S "${window[@]}" "$tilmor" input.tmf
try "window, message box" TERM S "${window[@]}" "$tilmor" box.tmf
try "window, message box" INT S "${window[@]}" "$tilmor" box.tmf
try "window, open after the last line" TERM S "${window[@]}" "$tilmor" last.tmf
try "window, open after the last line" HUP S "${window[@]}" "$tilmor" last.tmf
try "window, busy" TERM R "${window[@]}" "$tilmor" busy.tmf

try "batch, WAITKEY on standard input" INT S "$tilmor" --batch waitkey.tmf
try "batch, INPUT on standard input" HUP S "$tilmor" --batch input.tmf
try "batch, busy" TERM R "$tilmor" --batch busy.tmf

# The runtime module runs the same core.
"$comp" --batch waitkey.tmf >/dev/null 2>&1 || fail "waitkey.tmf does not compile"
try "runtime module, window, WAITKEY" TERM S "${window[@]}" "$run" waitkey.tmc

# Output into a pipe whose reader has gone: the program ends there too,
# with its table closed, instead of being killed by SIGPIPE.
rm -f t.dbf out.txt ready.txt
program 'WHILE 1' 'PRINT "line"' 'WEND' > endless.tmf
timeout 20 "$tilmor" --batch endless.tmf 2>/dev/null | head -1 >/dev/null
code=${PIPESTATUS[0]}
[ "$code" = 255 ] || fail "output into a closed pipe: exit code $code, want 255"
[ "$(od -An -tu4 -j4 -N4 t.dbf 2>/dev/null | tr -d ' ')" = 3 ] || fail "output into a closed pipe: table not closed"

# The open-file dialog when no program is named: nothing to close, the
# process just ends.
for prog in "$tilmor" "$comp" "$run"; do
  "${window[@]}" "$prog" >/dev/null 2>&1 &
  pid=$!
  for i in $(seq 200); do [ "$(state $pid)" = S ] && break; sleep 0.05; done
  sleep 0.5
  kill -TERM $pid
  for i in $(seq 200); do running $pid || break; sleep 0.05; done
  running $pid && { fail "$(basename "$prog"), file dialog: still running after SIGTERM"; kill -9 $pid; }
  wait $pid
  code=$?
  [ $code = 255 ] || fail "$(basename "$prog"), file dialog: exit code $code after SIGTERM, want 255"
done

# The compiler's success box: the compiled file is complete all the same.
rm -f last.tmc
"${window[@]}" "$comp" last.tmf >/dev/null 2>&1 &
pid=$!
for i in $(seq 200); do [ -s last.tmc ] && [ "$(state $pid)" = S ] && break; sleep 0.05; done
sleep 0.2
kill -TERM $pid
for i in $(seq 200); do running $pid || break; sleep 0.05; done
running $pid && { fail "compiler: still running after SIGTERM"; kill -9 $pid; }
wait $pid
code=$?
[ $code = 255 ] || fail "compiler: exit code $code after SIGTERM, want 255"
"$run" --batch last.tmc >/dev/null 2>&1 || fail "compiler: last.tmc is no complete program"

if [ "$fails" -gt 0 ]; then echo "$fails failed"; exit 1; fi
exit 0
