#!/usr/bin/env bash
# Runs a fuzz target for a fixed time: first over the kept inputs (every
# file of KEPTDIR, the inputs that once went wrong), then fuzzing on from
# them and from the end-to-end programs below E2EDIR.
#   run_seeded.sh FUZZER SECONDS KEPTDIR E2EDIR
set -u
fuzzer=$(realpath "$1")
seconds=$2
kept=$(realpath "$3")
e2e=$(realpath "$4")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
find "$e2e" -name '*.tmf' -size -4k | while read -r f; do
  cp "$f" "$work/corpus/$(echo "${f#"$e2e"/}" | tr / _)"
done
cd "$work"
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
  -artifact_prefix="$work/" "$work/corpus" "$kept"
code=$?
if [ $code -ne 0 ]; then
  for f in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
    [ -f "$f" ] && { echo "--- $f:"; base64 "$f"; }
  done
fi
exit $code
