#!/usr/bin/env bash
# Runs the fuzzer for a fixed time on a corpus of compiled test programs
# and their sources.
#   run_fuzz.sh FUZZER SHTMCOMP SECONDS E2EDIR
set -u
fuzzer=$(realpath "$1")
comp=$(realpath "$2")
seconds=$3
e2e=$(realpath "$4")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus" "$work/src" "$work/.windir"
export TILMOR_WINDIR=$work/.windir QT_QPA_PLATFORM=offscreen
for f in "$e2e"/compiler/*.tmf "$e2e"/control/*.tmf "$e2e"/functions/*.tmf; do
  [ -f "$f" ] || continue
  n=$(basename "$(dirname "$f")")_$(basename "$f" .tmf)
  cp "$f" "$work/corpus/$n.tmf"
  cp "$f" "$work/src/$n.tmf"
  (cd "$work/src" && "$comp" --batch "$n.tmf" >/dev/null 2>&1 && cp "$n.tmc" "$work/corpus/")
done
cd "$work"
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 corpus
