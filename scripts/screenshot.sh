#!/usr/bin/env bash
# Makes docs/screenshot.png: the real window under Xvfb, as a first start shows it (empty settings
# store, so every field holds its first-run default). Builds the program first when it is missing.
set -euo pipefail
# shellcheck source=scripts/lib/window.sh
source "$(dirname "$(readlink -f "$0")")/lib/window.sh"

if [ "${1:-}" = --in-xvfb ]; then
  home=$2 bin=$3 out=$4
  window_start "$home" "$bin"
  window_wait
  sleep 1 # let the first paint finish
  import -window "$window_id" -strip "$out"
  exit 0
fi

bin=$(window_program --build)
mkdir -p docs
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
window_in_xvfb "$home" "$bin" "$PWD/docs/screenshot.png"
echo "screenshot: docs/screenshot.png ($(identify -format '%wx%h' docs/screenshot.png))"
