#!/usr/bin/env bash
# Runs the real game binary once and checks that it starts and ends in
# order: exit code 0 and exactly the fixed lines in a fresh log.
set -euo pipefail
game=${1:?usage: start_and_end.sh SPLOSH_BINARY}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'stale\r\n' > "$work/ErrorLog.txt"

status=0
TMPDIR="$work" timeout 60 "$game" > "$work/out.txt" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  echo "splosh exited with $status"; cat "$work/out.txt"; exit 1
fi
expected=$'Init GFX\r\nInit Finalized\r\nShut down VLM\r'
actual=$(cat "$work/ErrorLog.txt")
if [ "$actual" != "$expected" ]; then
  echo "unexpected log:"; cat -A "$work/ErrorLog.txt"; exit 1
fi
echo "1 passed, 0 failed"
