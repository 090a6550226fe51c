#!/usr/bin/env bash
# The real program under Xvfb, started three times on a settings store of its own.
# First start, empty store: the window's size, GO green and "Auto >>" red at their places (picture
# in build/screenshots/window.png); a job typed in from outside (a folder whose name holds a space,
# a ROM of mode 0555, a stand-in emulator, "Auto" unchecked by keyboard, "Add" chosen by a press
# in its box); Save > Global > 3; Enter runs the job; File > Exit. Checked: the output's bytes and
# mode, the ROM untouched, the emulator's arguments and folder, the status line, the store.
# Second start: closed at once, it must store just what it was given.
# Third start, store immutable: Save > Global > 5 and the close each show a message box, the
# program still ends, and the store stays as it was.
set -euo pipefail
# shellcheck source=scripts/lib/window.sh
source "$(dirname "$(readlink -f "$0")")/../lib/window.sh"

type_in() {
  xdotool key ctrl+a
  xdotool type --delay 20 "$1"
}

if [ "${1:-}" = --in-xvfb ]; then
  start=$2 work=$3 bin=$4
  cd "$work" # so that only "Change directory to:" leads into the job's folder
  window_start "$work" "$bin"
  window_wait
  if [ "$start" = first ]; then
    shot=$5
    import -window "$window_id" -strip "$shot"
    [ "$WIDTH" = 558 ] && [ "$window_top" -gt 0 ] ||
      fail "the window is ${WIDTH}x$HEIGHT, want 558 wide and 344 + a menu bar high"
    for at in "14 318 00FF00 GO" "66 335 00FF00 GO" "86 318 FF0000 Auto" "138 335 FF0000 Auto"; do
      read -r x y want name <<< "$at"
      got=$(convert "$shot" -format "%[hex:p{$x,$((window_top + y))}]" info:)
      [ "$got" = "$want" ] || fail "$name at ($x,$y) of the client area is #$got, want #$want"
    done
    ready=$(window_crop 193x17+16+288) # the status line, "Status: Ready!"
    window_click 200 17
    type_in "$work/job dir/" # txtPath
    xdotool key Tab Tab      # past the folder button
    type_in '"record args.sh" --file "%1"'
    xdotool key Tab Tab
    type_in 'pattern rom.nes'
    xdotool key Tab Tab Tab space # past the folder button and txtCreate: "Auto" unchecked
    window_click 70 154
    type_in 4112 # txtStart
    xdotool key Tab
    type_in %10000000001111
    window_click 444 289 # txtAdd: the press chooses "Add"
    type_in 3
    window_menu alt+s g 3
    xdotool key Return
    window_await_runs "$work/record" 1
    for _ in $(seq 50); do [ "$(window_crop 193x17+16+288)" = "$ready" ] && break; sleep 0.1; done
    [ "$(window_crop 193x17+16+288)" = "$ready" ] ||
      fail "the status line after the run differs from \"Status: Ready!\" at the start"
    window_close
  elif [ "$start" = second ]; then
    window_close
  else
    window_menu alt+s g 5
    window_box "Save > Global > 5 into an immutable store"
    window_close window_box "the close with an immutable store"
  fi
  exit 0
fi

bin=$(window_program)
echo "window_job: $bin"
work=$(mktemp -d /tmp/glitchforge-window-job.XXXXXX)
ini="$work/config/Rom Glitchforge 6.conf"
trap 'chattr -i "$ini" 2> /dev/null || true; rm -rf "$work"' EXIT
job="$work/job dir"
rom="$job/pattern rom.nes"
mkdir -p "$job" build/screenshots
head -c 65536 /dev/urandom > "$work/pristine.nes"
cp "$work/pristine.nes" "$rom"
chmod 555 "$rom" # as from a read-only, executable mount: the output is ordinary data all the same
window_emulator "$job/record args.sh" "$work/record"

window_in_xvfb first "$work" "$bin" "$PWD/build/screenshots/window.png" || fail "the first start"
want="$(cd "$job" && pwd -P)"$'\n--file\nCORRUPT.nes\n--'
[ "$(cat "$work/record")" = "$want" ] ||
  fail "the emulator recorded [$(cat "$work/record")], expected [$want]"
# The ROM with offsets $1010 to $200F raised by 3, wrapping at 255.
cmp <(head -c 4112 "$work/pristine.nes"
  tail -c +4113 "$work/pristine.nes" | head -c 4096 | LC_ALL=C tr '\000-\377' '\003-\377\000-\002'
  tail -c +8209 "$work/pristine.nes") "$job/CORRUPT.nes" >&2 ||
  fail "CORRUPT.nes is not the ROM with offsets \$1010 to \$200F raised by 3"
cmp -s "$work/pristine.nes" "$rom" || fail "the ROM was changed, want it untouched"
modes=$(stat -c %a "$job/CORRUPT.nes" "$rom" | paste -sd ' ')
want="$(printf '%o' $((0666 & ~0$(umask)))) 555"
[ "$modes" = "$want" ] || fail "the output and the ROM have modes $modes, want $want"
listing=$(cd "$job" && LC_ALL=C ls -A | paste -sd '|')
[ "$listing" = 'CORRUPT.nes|pattern rom.nes|record args.sh' ] || fail "the job's folder holds $listing"

section() { awk -v want="[$1]" '/^\[/ { inside = ($0 == want); next } inside && NF' "$ini"; }
# The section as stored, in key order ("~" stands for a space).
defaults=$(tr ' ~' '\n ' << EOF
Name=Defaults add=3 autocreate=0 chdir=1 emu=\\"record~args.sh\\"~--file~\\"%1\\" end=%10000000001111
inc=\$1000 mask=%00001101 nth=4 optadd=True optall=True optbyterange=False optcorrupt=False
optmask=False optnth=False optoverwrite=1 optrandombytes=True optrandomseq=1 optsequence=False
optshift=False path=${job// /\~}/ range1=\$00 range2=\$FF rom=pattern~rom.nes
sequence="\$00,\$01,\$02,\$7F,\$FF" shift=1 start=4112
EOF
)
same() { [ "$(section "$1")" = "$2" ] || fail "[$1] $3 (< want, > seen): $(diff <(echo "$2") <(section "$1"))"; }
same Defaults "$defaults" "after the first start"
same Global3 "${defaults/Name=Defaults/Name=pattern rom.nes 1010-200F}" "after Save > Global > 3"

cp "$ini" "$work/stored"
touch -d @0 "$ini"
window_in_xvfb second "$work" "$bin" || fail "the second start"
[ "$(stat -c %Y "$ini")" != 0 ] || fail "the second start stored nothing at its close"
cmp -s "$ini" "$work/stored" || fail "the second start stored other settings: $(diff "$work/stored" "$ini")"

if chattr +i "$ini" 2> /dev/null; then
  window_in_xvfb third "$work" "$bin" || fail "the third start"
  chattr -i "$ini"
  cmp -s "$ini" "$work/stored" || fail "the immutable store changed: $(diff "$work/stored" "$ini")"
else
  echo "window_job: the immutable store is not tried: this file system cannot make a file immutable"
fi
echo "window_job: passed"
