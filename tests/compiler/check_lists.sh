#!/usr/bin/env bash
# Every program named in the round-trip lists exists, and every deviation
# has its expected files: a renamed test must not leave a stale entry.
#   check_lists.sh LISTDIR E2EDIR
set -u
lists=$1
e2e=$2
fail=0
for list in uncompilable.txt deviations.txt; do
  while read -r id _; do
    case "$id" in ''|'#'*) continue ;; esac
    if [ ! -f "$e2e/$id.tmf" ]; then echo "$list: no program $id"; fail=1; fi
    if [ "$list" = deviations.txt ] && [ ! -f "$lists/$id.out" ] && [ ! -f "$lists/$id.err" ] \
       && [ ! -f "$lists/$id.code" ]; then
      echo "$list: no expected files for $id"; fail=1
    fi
    if [ "$list" = uncompilable.txt ] && [ ! -f "$lists/$id.cerr" ]; then
      echo "$list: no compiler output $id.cerr"; fail=1
    fi
  done < "$lists/$list"
done
exit $fail
