#!/usr/bin/env bash
# A 1.5 GiB disc image through the real program under Xvfb. Enter runs "Add" 1 over the whole image
# with "Overwrite Old File" while an outside probe pings the window every 20 ms, as a desktop does
# before it calls a window "not responding"; mid-run the check presses Enter and GO, types into the
# start box and picks File > Exit. A second run is ended by the close box. Checks: the window answered
# during the run (the longest wait is printed), the progress bar came and went, nothing pressed
# mid-run had any effect, the close waited for the run, and the output is the image with every byte
# one higher.
set -euo pipefail
# shellcheck source=scripts/lib/window.sh
source "$(dirname "$(readlink -f "$0")")/../lib/window.sh"

emulator_starts() { if [ -f "$work/record" ]; then wc -l < "$work/record"; else echo 0; fi; }

# A checksum of the progress bar's place beside the status line.
bar_place() {
  import -window "$window_id" "$work/shot.png" 2> /dev/null || return 0
  convert "$work/shot.png" -crop "153x17+216+$((top + 288))" +repage rgb:- | md5sum
}

# Waits until the emulator has been started $1 times, taking pictures of the bar's place meanwhile;
# sets `bar_shown` when one of them differs from the idle place.
wait_for_run() {
  for _ in $(seq 900); do
    [ "$(emulator_starts)" -ge "$1" ] && return 0
    [ "$(bar_place)" != "$idle" ] && bar_shown=1
    sleep 0.1
  done
  fail "run $1 did not end within 90 s (program output: $(cat "$window_log"))"
}

# Prints the longest wait for an answer to a ping sent between $1 and $2 (ms), and how many answers
# came in the middle of that time, half a second clear of either end: a window that does not answer
# while a run works gives all its answers at the end.
stalls() {
  awk -v from="$1" -v to="$2" '
    $1 == "S" { sent[$2] = $3 } $1 == "A" { answered[$2] = $3 }
    END {
      for (n in sent) if (sent[n] >= from && sent[n] <= to) {
        at = (n in answered && answered[n] < to) ? answered[n] : to
        if (at - sent[n] > longest) longest = at - sent[n]
      }
      for (n in answered) if (answered[n] > from + 500 && answered[n] < to - 500) count++
      printf "%.0f %d\n", longest, count
    }' "$work/pings"
}

if [ "${1:-}" = --in-xvfb ]; then
  work=$2 bin=$3 probe=$4
  window_start "$work" "$bin"
  window_wait
  window_focus
  sleep 0.5
  top=$(($(xdotool getwindowgeometry "$window_id" | awk -F'[x ]' '/Geometry/ { print $NF }') - 344))  # client area
  idle=$(bar_place)
  read -r rss_before < <(awk '/^VmRSS/ { print int($2 / 1024) }' "/proc/$window_pid/status")
  "$probe" "$window_id" "$work/pings" &
  probe_pid=$!
  bar_shown=0
  t0=$(date +%s%3N)
  xdotool key Return
  sleep 0.7
  # Mid-run: Enter, a click on GO, typing into the start box, File > Exit.
  xdotool key Return
  xdotool mousemove --window "$window_id" 40 $((top + 326)) click 1
  xdotool mousemove --window "$window_id" 80 $((top + 154)) click 1 type 9
  xdotool key --clearmodifiers alt+f
  sleep 0.2
  xdotool key x
  wait_for_run 1
  t1=$(date +%s%3N)
  sleep 1
  kill -0 "$window_pid" 2> /dev/null || fail "File > Exit pressed during the run closed the window"
  [ "$(emulator_starts)" = 1 ] || fail "presses made during the run started $(($(emulator_starts) - 1)) more runs"
  read -r peak < <(awk '/^VmHWM/ { print int($2 / 1024) }' "/proc/$window_pid/status")
  read -r longest answered < <(stalls "$t0" "$t1")
  echo "big_image: the first run took $(((t1 - t0) / 1000)).$(((t1 - t0) % 1000 / 100)) s; longest wait for the" \
    "window's answer ${longest} ms (target 250 ms), ${answered} answers while it worked"
  echo "big_image: the program's resident memory ${rss_before} MiB before the run, ${peak} MiB at its peak"
  [ "$answered" -ge 3 ] || fail "the window did not answer while the run worked"
  [ "$bar_shown" = 1 ] || fail "no progress bar showed beside the status line during the run"
  [ "$(bar_place)" = "$idle" ] || fail "the progress bar stayed after the run"

  # The second run restores the altered bytes from the image; the close box waits for it.
  xdotool key Return
  sleep 0.5
  "$probe" "$window_id" close
  t0=$(date +%s%3N)
  [ "$(emulator_starts)" = 1 ] || echo "big_image: note: the second run ended before the close box was pressed"
  wait_for_run 2
  t1=$(date +%s%3N)
  for _ in $(seq 100); do
    kill -0 "$window_pid" 2> /dev/null || break
    sleep 0.1
  done
  kill -0 "$window_pid" 2> /dev/null && fail "the close box did not end the program after the run"
  wait "$window_pid" || fail "the program ended with status $?"
  kill "$probe_pid" 2> /dev/null || true
  echo "big_image: the second run ended $(((t1 - t0) / 100))00 ms after the close box; then the program ended by itself"
  exit 0
fi

bin=$(window_program /usr/bin/glitchforge)
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
cat > "$job/emu" << EOF
#!/bin/sh
echo "\$1" >> "$work/record"
EOF
chmod +x "$job/emu"
cat > "$work/config/Rom Glitchforge 6.conf" << EOF
[Defaults]
chdir=1
path=$job/
emu=./emu %1
rom=disc.iso
autocreate=1
start=0
end=\$5FFFFFFF
optall=True
optnth=False
optmask=False
optshift=False
optcorrupt=False
optadd=True
add=1
optoverwrite=1
EOF

timeout 300 xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96 -nolisten tcp" \
  bash "$self" --in-xvfb "$work" "$bin" "$work/wm_ping" || fail "running the image through the window"

grep -q '^start=0$' "$work/config/Rom Glitchforge 6.conf" || fail "the typing during the run reached the start box"
tr '\000-\377' '\001-\377\000' < "$job/disc.iso" | cmp -s - "$job/CORRUPT.iso" ||
  fail "the output is not the image with every byte one higher"
echo "big_image: passed"
