#!/usr/bin/env bash
# Printing on a CUPS queue: starts a private CUPS scheduler in a temporary
# directory (its own socket, nothing of the system's), makes a queue whose
# backend writes each job into a file, names it in WIN.INI and prints two
# pages on it.
# Skipped (77) where the scheduler is not installed.
#
# Usage: print_cups.sh PATH/TO/tilmor
set -u
tilmor=$(realpath "$1")
cupsd=$(command -v cupsd || echo /usr/sbin/cupsd)
lpadmin=$(command -v lpadmin || echo /usr/sbin/lpadmin)
if [ ! -x "$cupsd" ] || [ ! -x "$lpadmin" ] || [ ! -d /usr/lib/cups/daemon ] || ! command -v pdfinfo >/dev/null; then
  echo "SKIP: cupsd, lpadmin or pdfinfo not installed (scripts/install-deps.sh installs them)"
  exit 77
fi
if [ "$(id -u)" -ne 0 ]; then
  # Without root the scheduler cannot take the user it runs jobs as.
  echo "SKIP: a private CUPS scheduler needs root here"
  exit 77
fi

work=$(mktemp -d)
pid=
cleanup() {
  [ -n "${KEEP:-}" ] && { echo "kept $work"; return; }
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work"/{spool,tmp,cache,state,out,win,bin/backend}
chmod 777 "$work/out" "$work/tmp"
# The scheduler's helper programs are the system's; the backend is ours.
ln -s /usr/lib/cups/daemon "$work/bin/daemon"
cat > "$work/bin/backend/tilmorfile" <<'BACKEND'
#!/bin/sh
# Writes each job into the file its device URI names.
[ $# -eq 0 ] && { echo 'file tilmorfile "Unknown" "File"'; exit 0; }
out=${DEVICE_URI#tilmorfile:}
if [ -n "${6:-}" ]; then cat "$6" > "$out"; else cat > "$out"; fi
BACKEND
chmod 755 "$work/bin/backend/tilmorfile"
cat > "$work/cupsd.conf" <<CONF
Listen $work/cups.sock
LogLevel warn
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat > "$work/cups-files.conf" <<CONF
ServerRoot $work
ServerBin $work/bin
RequestRoot $work/spool
TempDir $work/tmp
CacheDir $work/cache
StateDir $work/state
ErrorLog $work/error_log
AccessLog $work/access_log
PageLog $work/page_log
CONF
"$cupsd" -f -c "$work/cupsd.conf" -s "$work/cups-files.conf" &
pid=$!
export CUPS_SERVER="$work/cups.sock"
for _ in $(seq 50); do [ -S "$work/cups.sock" ] && break; sleep 0.1; done
if [ ! -S "$work/cups.sock" ]; then
  echo "FAIL: the scheduler did not start"; cat "$work/error_log" 2>/dev/null; exit 1
fi
if ! "$lpadmin" -p TilmorTest -E -v "tilmorfile:$work/out/job.out" -m raw 2>"$work/lpadmin.err"; then
  echo "FAIL: lpadmin"; cat "$work/lpadmin.err"; exit 1
fi

printf '[windows]\r\ndevice=TilmorTest,winspool,Ne00:\r\n' > "$work/win/WIN.INI"
printf 'STARTPRINT\r\nUSEPEN 0, 3, 0\r\nLINE 0,100 - 640,100\r\nNEXTPAGE\r\nLINE 0,200 - 640,200\r\nENDPRINT\r\nPRINT "gedruckt"\r\n' > "$work/t.tmf"
out=$(cd "$work" && TILMOR_WINDIR="$work/win" QT_QPA_PLATFORM=offscreen timeout 60 "$tilmor" --batch t.tmf 2>&1)
if [ "$out" != "gedruckt" ]; then
  echo "FAIL: the program printed: $out"; exit 1
fi
for _ in $(seq 100); do
  [ -s "$work/out/job.out" ] && [ -z "$(lpstat -o TilmorTest 2>/dev/null)" ] && break
  sleep 0.2
done
if [ ! -s "$work/out/job.out" ]; then
  echo "FAIL: no job arrived"; lpstat -t; cat "$work/error_log"; exit 1
fi
pages=$(pdfinfo "$work/out/job.out" 2>/dev/null | awk '/^Pages:/ {print $2}')
if [ "$pages" != 2 ]; then
  echo "FAIL: the queue got $(head -c 8 "$work/out/job.out" | od -c | head -1) with ${pages:-no} pages"; exit 1
fi
# The first page's line lies 100 units (82.5 dots at 72 dpi) from the top of
# the printable area and spans 7 1/3 inches (528 dots).
pdftoppm -r 72 -gray -f 1 -l 1 "$work/out/job.out" "$work/page"
span=$(/usr/bin/python3 - "$work"/page*.pgm <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
parts = data.split(maxsplit=4)
width, height = int(parts[1]), int(parts[2])
pixels = parts[4]
rows = [[x for x in range(width) if pixels[y * width + x] < 128] for y in range(height)]
dark = [(y, r) for y, r in enumerate(rows) if len(r) > 100]
print(" ".join(str(v) for v in (len(dark), dark[0][1][-1] - dark[0][1][0] + 1)) if dark else "0 0")
PY
)
read -r lines width <<<"$span"
if [ "$lines" -lt 1 ] || [ "$lines" -gt 5 ] || [ "$width" -lt 524 ] || [ "$width" -gt 532 ]; then
  echo "FAIL: the line on the first page: $lines rows, $width dots wide"; exit 1
fi
echo "ok: a two-page job on the queue TilmorTest"
