#!/usr/bin/env bash
# The real program under Xvfb on a settings store of its own, started three times: first to check the
# window's size and colours (picture in build/screenshots/window.png) and run a job typed in from
# outside, saved as Global preset 3; then closed at once, to store just what it was given; then with
# the store immutable, where Save > Global > 5 and the close each show a message and it still ends.
set -euo pipefail
# shellcheck source=scripts/lib/window.sh
source "$(dirname "$(readlink -f "$0")")/../lib/window.sh"

if [ "${1:-}" = --in-xvfb ]; then
  window_open "$2" "$3"
  if [ "$4" = first ]; then
    import -window "$window_id" -strip "$5"
    [ "$WIDTH" = 558 ] && [ "$window_top" -gt 0 ] ||
      fail "the window is ${WIDTH}x$HEIGHT, want 558 wide and 344 + a menu bar high"
    t=$((window_top + 318)) b=$((window_top + 335)) # GO, then Auto >>, corner to corner
    seen=$(convert "$5" -format "%[hex:p{14,$t}] %[hex:p{66,$b}] %[hex:p{86,$t}] %[hex:p{138,$b}]" info:)
    [ "$seen" = "00FF00 00FF00 FF0000 FF0000" ] || fail "GO and Auto >> show $seen, want green and red"
    window_type_job "$2/job dir/" '"record args.sh" --file "%1"'
    window_menu alt+s g 3
    xdotool key Return
    window_await_runs "$2/record" 1
  elif [ "$4" = third ]; then
    window_menu alt+s g 5
    window_box "Save > Global > 5 into an immutable store"
    window_close window_box "the close with an immutable store"
    exit 0
  fi
  window_close
  exit 0
fi

bin=$(window_program)
work=$(mktemp -d /tmp/glitchforge-window-job.XXXXXX)
ini="$work/config/Rom Glitchforge 6.conf"
trap 'chattr -i "$ini" 2> /dev/null || true; rm -rf "$work"' EXIT
job="$work/job dir"
mkdir -p "$job" build/screenshots
umask 022
window_pattern_rom "$job/pattern rom.nes"
chmod 555 "$job/pattern rom.nes" # as from a read-only, executable mount: the output is plain data
window_emulator "$job/record args.sh" "$work/record"

window_in_xvfb "$work" "$bin" first "$PWD/build/screenshots/window.png" || fail "the first start"
window_recorded "$work/record" "$(cd "$job" && pwd -P)"$'\n--file\nCORRUPT.nes\n--'
window_pattern_added "$job/CORRUPT.nes"
files=$(find "$job" -mindepth 1 -printf '%f %m\n' | LC_ALL=C sort | paste -sd '|')
[ "$files" = "CORRUPT.nes 644|pattern rom.nes 555|record args.sh 755" ] || fail "the folder holds $files"
# What was typed, as stored at the close and in preset 3.
typed="add=3|autocreate=0|end=%10000000001111|path=$job/|start=4112"
stored=$(grep -E '^(\[|Name=|add=|autocreate=|end=|path=|start=)' "$ini" | paste -sd '|')
[ "$stored" = "[Defaults]|Name=Defaults|$typed|[Global3]|Name=pattern rom.nes 1010-200F|$typed" ] ||
  fail "the store holds $stored"

cp "$ini" "$work/stored"
touch -d @0 "$ini"
window_in_xvfb "$work" "$bin" second || fail "the second start"
[ "$(stat -c %Y "$ini")" != 0 ] && cmp "$ini" "$work/stored" ||
  fail "the second start did not store again just what it loaded"

if chattr +i "$ini" 2> /dev/null; then
  window_in_xvfb "$work" "$bin" third || fail "the third start"
else
  echo "window_job: the immutable store is not tried: this file system cannot make a file immutable"
fi
echo "window_job: passed"
