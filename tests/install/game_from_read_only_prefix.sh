#!/usr/bin/env bash
# Installs the build into a temporary prefix, makes the prefix read-only (a
# read-only bind mount in a user namespace, which binds root as well) and
# plays the installed game for a few frames: exit code 0, the runtime's log
# lines, the title drawn from the installed media, and the high-score table
# written to $XDG_DATA_HOME/splosh/ since the game's own folder is closed.
set -euo pipefail
build=${1:?usage: game_from_read_only_prefix.sh BUILD_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
mkdir "$work/run" "$work/data"

if ! cmake --install "$build" --prefix "$prefix" > "$work/install.txt" 2>&1; then
  echo "install failed:"; cat "$work/install.txt"; exit 1
fi

printf '20 shot title.png\n30 keydown 1\n' > "$work/run/input.txt"
status=0
TMPDIR="$work/run" XDG_DATA_HOME="$work/data" VELMORA_UNPACED=1 VELMORA_INPUT_SCRIPT="$work/run/input.txt" \
  timeout 60 unshare --map-root-user --mount sh -c \
  'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" && exec "$1/bin/splosh"' sh "$prefix" \
  > "$work/out.txt" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  echo "splosh exited with $status"; cat "$work/out.txt"; exit 1
fi

log=$(tr -d '\r' < "$work/run/ErrorLog.txt")
table="$work/data/splosh/table.dat"
if [ "$(head -n 2 <<< "$log")" != $'Init GFX\nInit Finalized' ] || [ "$(tail -n 1 <<< "$log")" != "Shut down VLM" ]; then
  echo "unexpected log:"; echo "$log"; exit 1
fi
if [ ! -s "$table" ]; then
  echo "no high-score table in $table; the log says:"; echo "$log"; exit 1
fi
# Without its media the title is one black picture.
colours=$(identify -format %k "$work/run/title.png")
if [ "$colours" -lt 16 ]; then
  echo "the title shows $colours colours: the installed media were not found"; exit 1
fi
echo "1 passed, 0 failed"
