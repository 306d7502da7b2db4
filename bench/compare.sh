#!/usr/bin/env bash
# Runs the programs of bench/compare/ in TILMOR, yabasic and gambas3 side by
# side: checks that every language prints the same result, then takes the
# median of 5 runs, the languages taking turns, and prints the times and
# ratios. Then the start-up time and peak memory of a program that only
# prints "hi".
# Usage: bench/compare.sh [build/bin/tilmor] [runs]
# BENCH_PROGRAMS="loop print" picks programs.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bin=$(realpath "${1:-$here/../build/bin/tilmor}")
runs=${2:-5}
read -r -a programs <<<"${BENCH_PROGRAMS:-loop calls strings arrays print}"
langs=(tilmor yabasic gambas3)
export QT_QPA_PLATFORM=offscreen

for tool in yabasic gbs3 /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run make bench" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TILMOR_WINDIR="$work/windir"
mkdir -p "$TILMOR_WINDIR"

# Runs program $2 of directory $1 in language $3, under the command $4 if given.
run() {
  local wrap=("${@:4}")
  case $3 in
    tilmor) "${wrap[@]}" "$bin" --batch "$1/$2.tmf" ;;
    yabasic) "${wrap[@]}" yabasic "$1/$2.yab" ;;
    gambas3) "${wrap[@]}" gbs3 "$1/$2.gbs" ;;
  esac
}

# Seconds one run takes (arguments as for run), output discarded.
time_run() {
  local start end
  start=$EPOCHREALTIME
  run "$@" >/dev/null
  end=$EPOCHREALTIME
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f\n", e - s }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

printf '%-8s %10s %10s %10s %12s %12s  %s\n' program tilmor yabasic gambas3 tilmor/yab tilmor/gbs checksum
failed=0
for p in "${programs[@]}"; do
  # One untimed run each: the results must agree (gbs3 also compiles and
  # caches the script here).
  sums=()
  for l in "${langs[@]}"; do
    out=$(run "$here/compare" "$p" "$l")
    if [ "$(printf '%s\n' "$out" | wc -l)" -gt 1 ]; then
      sums+=("$(printf '%s\n' "$out" | md5sum | cut -c1-8)")
    else
      sums+=("$out")
    fi
  done
  if [ "${sums[0]}" != "${sums[1]}" ] || [ "${sums[0]}" != "${sums[2]}" ]; then
    echo "$p: the results differ: tilmor ${sums[0]}, yabasic ${sums[1]}, gambas3 ${sums[2]}" >&2
    failed=1
    continue
  fi
  for l in "${langs[@]}"; do : >"$work/$p.$l"; done
  for ((r = 0; r < runs; r++)); do
    for l in "${langs[@]}"; do time_run "$here/compare" "$p" "$l" >>"$work/$p.$l"; done
  done
  t=$(median <"$work/$p.tilmor")
  y=$(median <"$work/$p.yabasic")
  g=$(median <"$work/$p.gambas3")
  awk -v p="$p" -v t="$t" -v y="$y" -v g="$g" -v c="${sums[0]}" \
    'BEGIN { printf "%-8s %9.3fs %9.3fs %9.3fs %12.2f %12.2f  %s\n", p, t, y, g, t / y, t / g, c }'
done

echo
echo "Start-up: a program that prints \"hi\" (median of $runs runs; peak memory)"
printf 'PRINT "hi"\n' >"$work/hi.tmf"
printf 'print "hi"\n' >"$work/hi.yab"
printf 'Print "hi"\n' >"$work/hi.gbs"
gbs3 "$work/hi.gbs" >/dev/null
for l in "${langs[@]}"; do
  : >"$work/start.$l"
  : >"$work/rss.$l"
  for ((r = 0; r < runs; r++)); do
    time_run "$work" hi "$l" >>"$work/start.$l"
    run "$work" hi "$l" /usr/bin/time -f '%M' -o "$work/rss.one" >/dev/null
    cat "$work/rss.one" >>"$work/rss.$l"
  done
  awk -v l="$l" -v t="$(median <"$work/start.$l")" -v m="$(median <"$work/rss.$l")" \
    'BEGIN { printf "%-8s %9.1f ms %9.1f MB\n", l, t * 1000, m / 1024 }'
done
exit $failed
