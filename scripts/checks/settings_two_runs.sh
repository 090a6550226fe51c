#!/usr/bin/env bash
# The options survive a restart of the real program under Xvfb, with a settings store of its own.
# The first run starts empty, shows the first-run defaults, and is changed from outside: typing into
# text boxes, a mouse press that chooses "Every", Tab and Space that uncheck "Auto", Save > Global > 3;
# File > Exit closes it. The stored file must hold those changes. The second run starts from that
# file and is closed at once: what it stores must be what the first run stored, so it showed it all.
# The third run finds the file immutable: Save > Global > 5 and the close each show a message box,
# the close goes on, and the file stays as it was.
set -euo pipefail
# shellcheck source=scripts/lib/window.sh
source "$(dirname "$(readlink -f "$0")")/../lib/window.sh"
# shellcheck source=scripts/lib/ini.sh
source scripts/lib/ini.sh

client_height=344 # 5160 twips; the menu bar lies above the client area

# Inside xvfb-run: one run of the program. "first" changes the options, "second" only looks.
if [ "${1:-}" = --in-xvfb ]; then
  run=$2 work=$3 bin=$4 shot=$5
  window_start "$work" "$bin"
  window_wait
  window_focus
  eval "$(xdotool getwindowgeometry --shell "$window_id")"
  menu=$((HEIGHT - client_height))
  # Clicks at a point of the client area given in twips, as the layout places the controls.
  click() { xdotool mousemove --window "$window_id" $(($1 / 15)) $((menu + $2 / 15)) click 1; }
  replace_text() {
    xdotool key ctrl+a
    xdotool type --delay 20 "$1"
  }
  if [ "$run" = first ]; then
    click 3000 600 # txtEMU
    replace_text 'fceux %1'
    xdotool key Tab Tab # past the folder button into txtROM
    replace_text 'zelda.smc'
    xdotool key Tab Tab Tab space # past the folder button and txtCreate to "Auto"
    click 4020 2400 # txtNth, inside fraWhich: the press chooses "Every"
    replace_text '7'
    click 900 2300 # txtStart
    replace_text '$4000'
    xdotool key Tab # txtEnd
    replace_text '$4FFF'
    sleep 0.3
    xdotool key alt+s
    sleep 0.3
    xdotool key g
    sleep 0.3
    xdotool key 3
    sleep 0.3
  fi
  if [ "$run" = third ]; then
    xdotool key alt+s
    sleep 0.3
    xdotool key g 5
    window_box "Save > Global > 5 into an unwritable store"
  fi
  import -window "$window_id" -strip "$shot" 2> /dev/null || true
  if [ "$run" = third ]; then window_close 10 "window_box closing"; else window_close; fi
  exit 0
fi

build=${GLITCHFORGE_BUILD_DIR:-build}
bin=$(window_program)
mkdir -p "$build/screenshots"
shots=$(readlink -f "$build/screenshots")
echo "settings_two_runs: $bin"

work=$(mktemp -d /tmp/glitchforge-two-runs.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config"
ini="$work/config/Rom Glitchforge 6.conf"

in_xvfb() {
  window_in_xvfb "$1" "$work" "$bin" "$shots/settings_$1_run.png" || fail "the $1 run"
}

in_xvfb first
[ -f "$ini" ] || fail "the first run stored nothing in $ini"
first=$(ini_section "$ini" Defaults)
[ "$(grep -c = <<< "$first")" = 27 ] || fail "[Defaults] after the first run holds $(grep -c = <<< "$first") keys, not 27: $first"
declare -A expected=(
  # changed through the window
  [emu]='fceux %1' [rom]=zelda.smc [autocreate]=0 [nth]=7 [optnth]=True [optall]=False
  [start]='$4000' [end]='$4FFF'
  # first-run defaults left alone
  [chdir]=1 [path]='C:\nes\' [inc]='$1000' [optmask]=False [mask]='%00001101' [optrandomseq]=1
  [sequence]='$00,$01,$02,$7F,$FF' [add]=1 [optcorrupt]=True [optrandombytes]=True [optoverwrite]=1
  [Name]=Defaults
)
for key in "${!expected[@]}"; do
  got=$(ini_read "$first" "$key") || fail "[Defaults] lacks $key after the first run"
  [ "$got" = "${expected[$key]}" ] || fail "[Defaults] $key is [$got] after the first run, expected [${expected[$key]}]"
done
slot=$(ini_section "$ini" Global3)
got=$(ini_read "$slot" Name) || fail "Save > Global > 3 stored no [Global3]: $(cat "$ini")"
[ "$got" = "zelda.smc 4000-4FFF" ] || fail "[Global3] Name is [$got], expected [zelda.smc 4000-4FFF]"
[ "$(ini_section "$ini" Global3 | grep -v '^Name=')" = "$(grep -v '^Name=' <<< "$first")" ] ||
  fail "[Global3] does not hold the fields of the window"

cp "$ini" "$work/after-first.conf"
touch -d '2000-01-01 00:00:00' "$ini"
in_xvfb second
[ "$(stat -c %Y "$ini")" != "$(date -d '2000-01-01 00:00:00' +%s)" ] || fail "the second run did not store at its close"
second=$(ini_section "$ini" Defaults)
[ "$second" = "$first" ] || fail "the second run stored other fields than it was given:
$(diff <(echo "$first") <(echo "$second") || true)"
cmp -s "$ini" "$work/after-first.conf" || fail "the second run changed the store: $(diff "$work/after-first.conf" "$ini" || true)"
if chattr +i "$ini" 2> /dev/null; then
  trap 'chattr -i "$ini" 2> /dev/null; rm -rf "$work"' EXIT
  in_xvfb third
  chattr -i "$ini"
  cmp -s "$ini" "$work/after-first.conf" || fail "the unwritable store changed: $(diff "$work/after-first.conf" "$ini" || true)"
else
  echo "settings_two_runs: the unwritable store is not tried: this file system cannot make a file immutable"
fi
echo "settings_two_runs: passed (the second run's window: $shots/settings_second_run.png)"
