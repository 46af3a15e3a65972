#!/usr/bin/env bash
# Installs the build into a temporary prefix, builds examples/hello against
# it once with CMake and once with pkg-config, runs each for a few frames
# under scripted input, and uninstalls again.
set -euo pipefail
build=${1:?usage: hello_against_install.sh BUILD_DIR SOURCE_DIR CXX}
source=${2:?usage: hello_against_install.sh BUILD_DIR SOURCE_DIR CXX}
cxx=${3:?usage: hello_against_install.sh BUILD_DIR SOURCE_DIR CXX}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
hello="$source/examples/hello"

# Runs a step quietly; on failure shows its output and fails the test.
step() {
  local name=$1
  shift
  if ! "$@" > "$work/step.txt" 2>&1; then
    echo "$name failed:"; cat "$work/step.txt"; exit 1
  fi
}

step "install" cmake --install "$build" --prefix "$prefix"

step "CMake configure" cmake -S "$hello" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_COMPILER="$cxx"
step "CMake build" cmake --build "$work/cmake"

mkdir "$work/pc"
flags=$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs velmora)
# shellcheck disable=SC2086 # the flags are words
step "pkg-config build" "$cxx" -std=c++20 -o "$work/pc/hello" "$hello/main.cpp" $flags
cp -r "$hello/media" "$work/pc/Media"

expected=$'Init GFX\r\nInit Finalized\r\nShut down VLM\r'
for program in "$work/cmake/hello" "$work/pc/hello"; do
  run=$(mktemp -d -p "$work")
  printf '3 shot frame.png\n5 keydown 1\n' > "$run/script.txt"
  # Started from the script's folder and given its name alone: the shot must
  # still land beside the script, not in the program's folder.
  status=0
  (cd "$run" && TMPDIR="$run" VELMORA_UNPACED=1 VELMORA_INPUT_SCRIPT=script.txt timeout 60 "$program") \
    > "$run/out.txt" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "$program exited with $status"; cat "$run/out.txt"; exit 1
  fi
  if [ "$(cat "$run/ErrorLog.txt")" != "$expected" ]; then
    echo "$program: unexpected log:"; cat -A "$run/ErrorLog.txt"; exit 1
  fi
  if [ ! -f "$run/frame.png" ]; then
    echo "$program: no frame.png beside the script"; exit 1
  fi
  # The ball (its yellow) and the text (white) are on the third frame.
  colours=$(convert "$run/frame.png" -format %c histogram:info:)
  if ! grep -q '#FFCC00' <<< "$colours" || ! grep -q '#FFFFFF' <<< "$colours"; then
    echo "$program: the frame lacks the ball or the text:"; echo "$colours"; exit 1
  fi
done

step "uninstall" "$source/scripts/uninstall" "$prefix"
left=$(find "$prefix" ! -type d -o -type d \( -name velmora -o -name Velmora -o -name splosh \))
if [ -n "$left" ]; then
  echo "left after uninstall:"; echo "$left"; exit 1
fi
echo "1 passed, 0 failed"
