#!/usr/bin/env bash
# Makes docs/screenshot.png: the real window under Xvfb, as a first start shows it (empty settings
# store, so every field holds its first-run default). Builds the program first when it is missing.
set -euo pipefail
self=$(readlink -f "$0")
cd "$(dirname "$self")/.."

title="ROM Glitchforge 5.99 by Quorvath"

if [ "${1:-}" = --in-xvfb ]; then
  home=$2 bin=$3 out=$4
  unset QT_QPA_PLATFORM
  export XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  "$bin" > "$home/program.log" 2>&1 &
  pid=$!
  trap 'kill "$pid" 2> /dev/null || true' EXIT
  wid=$(timeout 30 xdotool search --sync --onlyvisible --name "^${title}\$" | head -n 1) || {
    cat "$home/program.log"
    echo "screenshot: no window titled \"$title\" within 30 s" >&2
    exit 1
  }
  sleep 1 # let the first paint finish
  import -window "$wid" -strip "$out"
  exit 0
fi

bin=${GLITCHFORGE_BIN:-build/glitchforge}
if [ ! -x "$bin" ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
  cmake --build build --target glitchforge -j2
fi
bin=$(readlink -f "$bin")
mkdir -p docs
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
timeout 120 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
  bash "$self" --in-xvfb "$home" "$bin" "$PWD/docs/screenshot.png"
echo "screenshot: docs/screenshot.png ($(identify -format '%wx%h' docs/screenshot.png))"
