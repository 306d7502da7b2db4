#!/usr/bin/env bash
# Runs a fuzz target for a fixed time: first over the kept inputs (every
# file of KEPTDIR, the inputs that once went wrong), then fuzzing on from
# them and from the end-to-end programs below E2EDIR.
#   run_seeded.sh FUZZER SECONDS KEPTDIR E2EDIR [DICTIONARY]
set -u
fuzzer=$(realpath "$1")
seconds=$2
kept=$(realpath "$3")
e2e=$(realpath "$4")
dict=()
[ $# -ge 5 ] && dict=(-dict="$(realpath "$5")")
work=$(mktemp -d)
# Where a target keeps its own files: in memory where there is room.
scratch=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work" "$scratch"' EXIT
mkdir "$work/corpus" "$work/found"
# A target may give up its rights for the programs it runs, also when one
# crashes and libFuzzer writes its input.
chmod 755 "$work" "$scratch"
chmod 1777 "$work/found"
export TILMOR_FUZZ_DIR=$scratch
find "$e2e" -name '*.tmf' -size -4k | while read -r f; do
  cp "$f" "$work/corpus/$(echo "${f#"$e2e"/}" | tr / _)"
done
cd "$work"
# The programs' own output is not wanted (-close_fd_mask), only libFuzzer's.
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -close_fd_mask=3 \
  "${dict[@]}" -artifact_prefix="$work/found/" "$work/corpus" "$kept"
code=$?
if [ $code -ne 0 ]; then
  for f in "$work"/found/*; do
    [ -f "$f" ] && { echo "--- $f:"; base64 "$f"; }
  done
fi
exit $code
