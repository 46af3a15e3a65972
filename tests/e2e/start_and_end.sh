#!/usr/bin/env bash
# Runs a copy of the game binary with the media the build put beside it,
# shows the title for a moment and presses Escape: exit code 0 and exactly
# the fixed lines in a fresh log.
set -euo pipefail
game=${1:?usage: start_and_end.sh SPLOSH_BINARY}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$game" "$work/splosh"
if [ -d "$(dirname "$game")/Media" ]; then cp -r "$(dirname "$game")/Media" "$work/"; fi
printf 'stale\r\n' > "$work/ErrorLog.txt"
printf '30 keydown 1\n' > "$work/input.txt"

status=0
TMPDIR="$work" VELMORA_INPUT_SCRIPT="$work/input.txt" VELMORA_UNPACED=1 \
  timeout 60 "$work/splosh" > "$work/out.txt" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  echo "splosh exited with $status"; cat "$work/out.txt"; exit 1
fi
expected=$'Init GFX\r\nInit Finalized\r\nShut down VLM\r'
actual=$(cat "$work/ErrorLog.txt")
if [ "$actual" != "$expected" ]; then
  echo "unexpected log:"; cat -A "$work/ErrorLog.txt"; exit 1
fi
echo "1 passed, 0 failed"
