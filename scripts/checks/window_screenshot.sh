#!/usr/bin/env bash
# Starts the real program under Xvfb with an empty settings store, saves a
# picture of its window to build/screenshots/window.png and checks it against
# the layout: the client area of 558 x 344 pixels below the menu bar, GO painted
# pure green and "Auto >>" pure red at their places. Closes the program with
# File > Exit.
set -euo pipefail
self=$(readlink -f "$0")
cd "$(dirname "$self")/../.."

title="ROM Glitchforge 5.99 by Quorvath"

# The colour of one pixel as #RRGGBB.
pixel() {
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | grep -o '#[0-9A-Fa-f]\{6\}' | head -n 1
}

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
    echo "window_screenshot: no window titled \"$title\" within 30 s" >&2
    exit 1
  }
  sleep 1  # let the first paint finish
  import -window "$wid" -strip "$out"

  read -r width height < <(identify -format '%w %h\n' "$out")
  status=0
  if [ "$width" -ne 558 ] || [ "$height" -le 344 ]; then
    echo "window_screenshot: window is ${width}x${height}, want 558 wide and 344 + menu bar high" >&2
    status=1
  fi
  top=$((height - 344))  # the client area ends at the bottom of the window
  # Points inside GO (8,312 65x29) and "Auto >>" (80,312 65x29), clear of border and caption.
  for check in "GO 14 318 #00FF00" "Auto 86 318 #FF0000" "GO 66 335 #00FF00" "Auto 138 335 #FF0000"; do
    read -r name x y want <<< "$check"
    got=$(pixel "$out" "$x" $((top + y)))
    if [ "${got^^}" != "$want" ]; then
      echo "window_screenshot: $name at ($x,$((top + y))) is $got, want $want" >&2
      status=1
    fi
  done

  # File > Exit through the keyboard; the program must end by itself.
  xdotool windowfocus --sync "$wid" 2> /dev/null || true
  xdotool key --clearmodifiers alt+f
  sleep 0.5
  xdotool key x
  for _ in $(seq 50); do
    kill -0 "$pid" 2> /dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2> /dev/null; then
    echo "window_screenshot: File > Exit did not end the program" >&2
    status=1
  fi
  exit "$status"
fi

bin=${GLITCHFORGE_BIN:-build/glitchforge}
if [ ! -x "$bin" ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
  cmake --build build -j2 --target glitchforge
fi
mkdir -p build/screenshots
out=$(readlink -f build/screenshots)/window.png
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$self" --in-xvfb "$home" "$(readlink -f "$bin")" "$out"
echo "window_screenshot: $out matches the layout"
