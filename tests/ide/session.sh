# Shared by the desktop-session tests (sourced): a scratch directory, the
# processes to stop at the end (the last started first), and waiting.
work=$(mktemp -d)
started=()
cleanup() {
  for ((i = ${#started[@]} - 1; i >= 0; i--)); do
    kill "${started[i]}" 2>/dev/null && wait "${started[i]}" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
# Waits up to 15 s for a command to succeed.
await() {
  for _ in $(seq 150); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
