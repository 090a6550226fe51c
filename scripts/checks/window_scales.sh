#!/usr/bin/env bash
# Every caption reads whole at 1x, 1.5x and 2x (QT_SCALE_FACTOR) and in the Fusion style under an application style
# sheet that sets a font size or colours, and greyed controls look greyed. For each setting it keeps a picture of the
# real window in build/screenshots/scale-*.png, then runs the window test that measures every caption's ink with the
# control's own font against its rectangle and the controls beside it (tests/ui/captions_test.cpp).
set -euo pipefail
# shellcheck source=scripts/lib/window.sh
source "$(dirname "$(readlink -f "$0")")/../lib/window.sh"

if [ "${1:-}" = --in-xvfb ]; then
  home=$2 bin=$3 test=$4
  echo 'QWidget { font-size: 9pt; }' > "$home/font-size.qss"
  echo 'QWidget { color: #202080; background-color: #f0f0e0; }' > "$home/colours.qss"
  for setting in "1x 1" "1.5x 1.5" "2x 2" "fusion-font-size 1 -style fusion -stylesheet $home/font-size.qss" \
    "fusion-colours 1 -style fusion -stylesheet $home/colours.qss"; do
    read -r name scale style <<< "$setting"
    export QT_SCALE_FACTOR=$scale
    # shellcheck disable=SC2086 # the style's options are words
    window_open "$home" "$bin" $style
    import -window "$window_id" -strip "build/screenshots/scale-$name.png"
    kill "$window_pid"
    wait "$window_pid" || true
    # shellcheck disable=SC2086
    QT_QPA_PLATFORM=xcb "$test" --gtest_filter='CaptionsTest.*' $style > "$home/test.log" 2>&1 ||
      fail "at $name (QT_SCALE_FACTOR=$scale${style:+ $style}):
$(grep -E 'runs |has no lines|is not greyed' "$home/test.log" || cat "$home/test.log")"
    echo "$window_script: $name: every caption reads whole, greyed controls look greyed" \
      "(build/screenshots/scale-$name.png, $(identify -format '%wx%h' "build/screenshots/scale-$name.png"))"
  done
  exit 0
fi

bin=$(window_program)
test=$(readlink -f build/tests/test_ui) || fail "no window test build/tests/test_ui: build the tests first"
mkdir -p build/screenshots
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
window_screen=1600x1200 window_in_xvfb "$home" "$bin" "$test"
