#!/usr/bin/env bash
# A 1.5 GiB disc image through the real program under Xvfb. Enter runs "Add" 1 over all of it while
# an outside probe pings the window every 20 ms, as a desktop does before it calls a window "not
# responding": the window must answer, show its progress bar and ignore File > Exit. A second run, by
# "Auto >>", is ended by the close box, which must wait for it and for the Auto step's move of the range.
set -euo pipefail
# shellcheck source=scripts/lib/window.sh
source "$(dirname "$(readlink -f "$0")")/../lib/window.sh"

bar_seen() { [ "$(window_crop 153x17+216+288)" = "$idle_bar" ] || bar_shown=1; }
memory() { awk -v key="^$1:" '$0 ~ key { print int($2 / 1024) }' "/proc/$window_pid/status"; }

if [ "${1:-}" = --in-xvfb ]; then
  window_open "$2" "$3"
  idle_bar=$(window_crop 153x17+216+288) idle_line=$(window_crop 353x17+16+288) rss=$(memory VmRSS)
  "$2/wm_ping" "$window_id" "$2/pings" &
  probe_pid=$! bar_shown=0 tries=0 t0=$(date +%s%3N)
  xdotool key Return
  # The run may end within 2 s (the image in the page cache): File > Exit comes as the bar shows.
  while [ "$bar_shown" = 0 ] && [ $((tries += 1)) -le 50 ]; do bar_seen; done
  [ "$bar_shown" = 1 ] || fail "no progress bar showed beside the status line during the run"
  xdotool key --clearmodifiers alt+f x
  window_await_runs "$2/record" 1
  t1=$(date +%s%3N)
  sleep 1
  kill -0 "$window_pid" 2> /dev/null || fail "File > Exit chosen during the run closed the window"
  # Answers that came clear of either end (half a second, or a quarter of a short run): a window that
  # stalls gives them all at the end.
  clear=$(((t1 - t0) / 4 < 500 ? (t1 - t0) / 4 : 500))
  read -r answered slowest < <(awk -v from="$t0" -v to="$t1" -v clear="$clear" '
    $1 == "S" && $3 >= from && $3 <= to { sent[$2] = $3 } $1 == "A" { got[$2] = $3 }
    $1 == "A" && $3 > from + clear && $3 < to - clear { count++ }
    END { for (n in sent) { at = (n in got && got[n] < to) ? got[n] : to; if (at - sent[n] > most) most = at - sent[n] }
          printf "%d %d\n", count, most }' "$2/pings")
  echo "big_image: the first run took $((t1 - t0)) ms and the window answered $answered pings meanwhile," \
    "the slowest after $slowest ms (target 250 ms);" \
    "resident memory $rss MiB before, $(memory VmHWM) MiB at the peak"
  [ "$answered" -ge 3 ] || fail "the window answered $answered pings while the run worked, want 3 or more"
  [ "$(window_crop 353x17+16+288)" = "$idle_line" ] || fail "the status line and bar differ after the run"
  window_click 110 326 # Auto >>
  sleep 0.2
  "$2/wm_ping" "$window_id" close
  window_await_runs "$2/record" 2
  window_ended 10
  kill "$probe_pid" 2> /dev/null || true
  exit 0
fi

bin=$(window_program)
work=$(mktemp -d /tmp/glitchforge-big.XXXXXX)
trap 'rm -rf "$work"' EXIT
if [ "$(df --output=avail -k "$work" | tail -n 1)" -lt $((6 * 1024 * 1024)) ]; then
  echo "big_image: skipped, 6 GiB free needed in $work"
  exit 0
fi
cc -O2 -o "$work/wm_ping" scripts/lib/wm_ping.c -lX11 || fail "building the ping probe"
job="$work/job"
mkdir -p "$job" "$work/config"
head -c 1536M /dev/urandom > "$job/disc.iso"
window_emulator "$job/emu" "$work/record"
ini="$work/config/Rom Glitchforge 6.conf"
# Unset options take their defaults: all bytes, "Change directory to:", "Overwrite Old File".
printf '%s\n' '[Defaults]' "path=$job/" 'emu=./emu %1' rom=disc.iso start=0 'end=$5FFFFFFF' optadd=True \
  add=1 > "$ini"

window_seconds=300 window_in_xvfb "$work" "$bin" || fail "running the image through the window"
range=$(grep -E '^(end|start)=' "$ini" | paste -sd ' ')
[ "$range" = 'end=$60000FFF start=$1000' ] || fail "the stored range is $range, want the Auto step's move"
tr '\000-\377' '\001-\377\000' < "$job/disc.iso" | cmp -s - "$job/CORRUPT.iso" ||
  fail "the output is not the image with every byte one higher"
echo "big_image: passed"
