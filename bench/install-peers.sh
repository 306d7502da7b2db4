#!/usr/bin/env bash
# Installs the interpreters the comparison benchmarks run against (yabasic,
# gambas3's script runner) and /usr/bin/time, when they are missing. The
# build and the tests do not need them.
set -euo pipefail
exec bash "$(dirname "$0")/../scripts/install-deps.sh" yabasic gambas3-scripter time
