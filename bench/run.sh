#!/usr/bin/env bash
# Runs every bench/*.tmf in batch mode and reports lines executed per second.
# Usage: bench/run.sh [build/bin/tilmor]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../build/bin/tilmor}
stats=$(mktemp)
trap 'rm -f "$stats"' EXIT
printf '%-16s %12s %9s %14s\n' program lines seconds lines/s
for prog in "$here"/*.tmf; do
  start=$(date +%s.%N)
  TILMOR_STATS="$stats" QT_QPA_PLATFORM=offscreen "$bin" --batch "$prog" >/dev/null
  end=$(date +%s.%N)
  lines=$(cat "$stats")
  awk -v n="$(basename "$prog")" -v l="$lines" -v s="$start" -v e="$end" \
    'BEGIN { t = e - s; printf "%-16s %12d %9.3f %14.0f\n", n, l, t, l / t }'
done
