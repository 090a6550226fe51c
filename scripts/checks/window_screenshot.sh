#!/usr/bin/env bash
# Starts the real program under Xvfb with an empty settings store, saves a
# picture of its window to build/screenshots/window.png and checks it against
# the layout: the client area of 558 x 344 pixels below the menu bar, GO painted
# pure green and "Auto >>" pure red at their places. Closes the program with
# File > Exit.
set -euo pipefail
# shellcheck source=scripts/lib/window.sh
source "$(dirname "$(readlink -f "$0")")/../lib/window.sh"

# The colour of one pixel as #RRGGBB.
pixel() {
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | grep -o '#[0-9A-Fa-f]\{6\}' | head -n 1
}

if [ "${1:-}" = --in-xvfb ]; then
  home=$2 bin=$3 out=$4
  window_start "$home" "$bin"
  window_wait
  sleep 1  # let the first paint finish
  import -window "$window_id" -strip "$out"

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

  window_close 5
  exit "$status"
fi

bin=$(window_program --build)
build=${GLITCHFORGE_BUILD_DIR:-build}
mkdir -p "$build/screenshots"
out=$(readlink -f "$build/screenshots")/window.png
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
window_in_xvfb "$home" "$bin" "$out"
echo "window_screenshot: $out matches the layout"
