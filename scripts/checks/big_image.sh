#!/usr/bin/env bash
# A 1.5 GiB disc image through the real program under Xvfb. Enter runs "Add" 1 over the whole image
# with "Overwrite Old File" while an outside probe pings the window every 20 ms, as a desktop does
# before it calls a window "not responding"; mid-run the check presses Enter and GO, types into the
# start box and picks File > Exit. A second run, by "Auto >>", is ended by the close box. Checks: the
# window answered during the run (the longest wait is printed), the progress bar came and went, the
# status line came back, nothing pressed mid-run had any effect, the close waited for the run and
# the Auto step's move of the range, and the output is the image with every byte one higher.
set -euo pipefail
# shellcheck source=scripts/lib/window.sh
source "$(dirname "$(readlink -f "$0")")/../lib/window.sh"

bar_seen() { [ "$(window_crop 153x17+216+288)" = "$idle_bar" ] || bar_shown=1; }
memory() { awk -v key="^$1:" '$0 ~ key { print int($2 / 1024) }' "/proc/$window_pid/status"; }

if [ "${1:-}" = --in-xvfb ]; then
  work=$2
  window_start "$work" "$3"
  window_wait
  idle_bar=$(window_crop 153x17+216+288) idle_line=$(window_crop 353x17+16+288) rss=$(memory VmRSS)
  "$work/wm_ping" "$window_id" "$work/pings" &
  probe_pid=$! bar_shown=0 t0=$(date +%s%3N)
  xdotool key Return
  sleep 0.7
  xdotool key Return
  window_click 40 326 # GO
  window_click 80 154 # txtStart
  xdotool type 9
  window_menu alt+f x
  window_await_runs "$work/record" 1 bar_seen
  t1=$(date +%s%3N)
  sleep 1
  kill -0 "$window_pid" 2> /dev/null || fail "File > Exit pressed during the run closed the window"
  runs=$(grep -c '^--$' "$work/record")
  [ "$runs" = 1 ] || fail "presses made during the run started $((runs - 1)) more runs, want none"
  # The longest wait for an answer to a ping sent during the run, and the answers that came half a
  # second clear of either end: a window that stalls gives all its answers at the end.
  read -r longest answered < <(awk -v from="$t0" -v to="$t1" '
    $1 == "S" && $3 >= from && $3 <= to { sent[$2] = $3 } $1 == "A" { got[$2] = $3 }
    $1 == "A" && $3 > from + 500 && $3 < to - 500 { count++ }
    END { for (n in sent) { at = (n in got && got[n] < to) ? got[n] : to
                            if (at - sent[n] > most) most = at - sent[n] }
          printf "%.0f %d\n", most, count }' "$work/pings")
  echo "big_image: the first run took $((t1 - t0)) ms; the window answered $answered pings meanwhile," \
    "the slowest after $longest ms (target 250 ms); resident memory $rss MiB before, $(memory VmHWM) MiB" \
    "at the peak"
  [ "$answered" -ge 3 ] || fail "the window answered $answered pings while the run worked, want 3 or more"
  [ "$bar_shown" = 1 ] || fail "no progress bar showed beside the status line during the run"
  [ "$(window_crop 353x17+16+288)" = "$idle_line" ] ||
    fail "after the run the status line and bar differ from before it (\"Status: Ready!\", no bar)"

  # "Auto >>" restores the altered bytes from the image, adds 1 again and moves the range on; the close
  # box waits for all of it.
  window_click 110 326
  sleep 0.2
  "$work/wm_ping" "$window_id" close
  [ "$(grep -c '^--$' "$work/record")" = 1 ] || echo "big_image: note: the run ended before the close box"
  window_await_runs "$work/record" 2
  window_ended 10
  kill "$probe_pid" 2> /dev/null || true
  exit 0
fi

bin=$(window_program)
echo "big_image: $bin"
work=$(mktemp -d /tmp/glitchforge-big.XXXXXX)
trap 'rm -rf "$work"' EXIT
avail=$(df --output=avail -k "$work" | tail -n 1)
if [ "$avail" -lt $((6 * 1024 * 1024)) ]; then
  echo "big_image: skipped, $((avail / 1024)) MiB free in $work and 6 GiB needed"
  exit 0
fi
cc -O2 -o "$work/wm_ping" scripts/lib/wm_ping.c -lX11 || fail "building the ping probe"
job="$work/job"
mkdir -p "$job" "$work/config"
head -c 16M /dev/urandom > "$work/seed"
for _ in $(seq 96); do cat "$work/seed"; done > "$job/disc.iso"
window_emulator "$job/emu" "$work/record"
ini="$work/config/Rom Glitchforge 6.conf"
printf '%s\n' '[Defaults]' chdir=1 "path=$job/" 'emu=./emu %1' rom=disc.iso autocreate=1 start=0 \
  'end=$5FFFFFFF' optall=True optnth=False optmask=False optshift=False optcorrupt=False optadd=True add=1 \
  optoverwrite=1 > "$ini"

window_seconds=300 window_in_xvfb "$work" "$bin" || fail "running the image through the window"
range=$(grep -E '^(end|start)=' "$ini" | paste -sd ' ')
[ "$range" = 'end=$60000FFF start=$1000' ] || fail "the stored range is $range, want end=\$60000FFF" \
  "start=\$1000: moved by the Auto step before the close, untouched by the typing during the first run"
tr '\000-\377' '\001-\377\000' < "$job/disc.iso" | cmp -s - "$job/CORRUPT.iso" ||
  fail "the output is not the image with every byte one higher"
echo "big_image: passed"
