# shellcheck shell=bash
# Shared by the scripts that drive the real program's window under Xvfb. Sourced right after
# `set -euo pipefail`; it works from the top of the tree and names the script in every message.
# Such a script runs itself again inside a fresh Xvfb (window_in_xvfb ARGS, seen as `--in-xvfb
# ARGS`), starts the program there (window_start), waits for its window (window_wait) and ends it.

self=$(readlink -f "$0")
window_script=$(basename "$self" .sh)
cd "$(dirname "${BASH_SOURCE[0]}")/../.." || exit 1

fail() {
  echo "$window_script: FAILED: $*" >&2
  exit 1
}

# The program to run, as an absolute name: $GLITCHFORGE_BIN, else build/glitchforge, which
# --build builds first when it is missing.
window_program() {
  local bin=${GLITCHFORGE_BIN:-build/glitchforge}
  if [ ! -x "$bin" ] && [ "${1:-}" = --build ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
    cmake --build build -j2 --target glitchforge >&2
  fi
  [ -x "$bin" ] || fail "no program to run: $bin"
  readlink -f "$bin"
}

# Runs this script again with --in-xvfb and the arguments given, on a screen of its own
# ($window_screen, 1024x768), for $window_seconds (120) at the most.
window_in_xvfb() {
  timeout "${window_seconds:-120}" xvfb-run -a -s "-screen 0 ${window_screen:-1024x768}x24 -dpi 96 -nolisten tcp" \
    bash "$self" --in-xvfb "$@"
}

# window_emulator FILE RECORD: writes a stand-in emulator that appends its working folder, its
# arguments and a line "--" to RECORD, in one write.
window_emulator() {
  printf '#!/bin/sh\nrun=$(pwd -P; printf "%%s\\n" "$@")\nprintf "%%s\\n--\\n" "$run" >> "%s"\n' "$2" > "$1"
  chmod +x "$1"
  : > "$2"
}

# window_await_runs RECORD COUNT [COMMAND]: waits 90 s at the most for the COUNT-th start of the
# stand-in emulator that writes RECORD (which need not exist yet), running COMMAND every 0.1 s meanwhile.
window_await_runs() {
  for _ in $(seq 900); do
    [ "$(grep -cs '^--$' "$1")" -ge "$2" ] 2> /dev/null && return 0
    ${3:-}
    sleep 0.1
  done
  fail "no emulator start number $2 within 90 s (program output: $(cat "$window_log"))"
}

# window_start DIR COMMAND...: starts the program in the background with configuration, cache
# and runtime folders under DIR, so that it neither reads nor writes the user's settings, and its
# output in DIR/program.log. A script that ends while the program runs kills it, after saving the
# screen when it failed.
window_start() {
  unset QT_QPA_PLATFORM
  export XDG_CONFIG_HOME="$1/config" XDG_CACHE_HOME="$1/cache" XDG_DATA_HOME="$1/data" XDG_RUNTIME_DIR="$1/runtime"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  window_log=$1/program.log
  shift
  "$@" > "$window_log" 2>&1 &
  window_pid=$!
  trap window_on_exit EXIT
}

# window_open DIR COMMAND...: window_start, then window_wait.
window_open() {
  window_start "$@"
  window_wait
}

window_on_exit() {
  local status=$? shot=/tmp/glitchforge-$window_script-failure.png
  kill -0 "$window_pid" 2> /dev/null || return 0
  if [ "$status" != 0 ] && import -window root "$shot" 2> /dev/null; then
    echo "$window_script: the screen at the failure: $shot" >&2
  fi
  kill "$window_pid" 2> /dev/null && wait "$window_pid" 2> /dev/null || true
}

# Waits 30 s at the most for the program's window and gives it the keyboard. Sets window_id, and
# window_top to the height of the menu bar above the 558 x 344 client area.
window_wait() {
  local title="ROM Glitchforge 5.99 by Quorvath"
  window_id=$(timeout 30 xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1) ||
    fail "no window titled \"$title\" within 30 s (program output: $(cat "$window_log"))"
  eval "$(xdotool getwindowgeometry --shell "$window_id")"
  window_top=$((HEIGHT - 344))
  xdotool windowfocus --sync "$window_id"
  sleep 0.5
}

# Clicks at a point of the client area, in pixels.
window_click() { xdotool mousemove --window "$window_id" "$1" $((window_top + $2)) click 1; }

# window_pattern_rom FILE: the ROM that window_type_job names by default, 65536 bytes of 1.
window_pattern_rom() { head -c 65536 /dev/zero | tr '\0' '\1' > "$1"; }

# window_pattern_added FILE: FILE must be that ROM after the default job, $1010 to $200F raised by 3.
window_pattern_added() {
  ones() { head -c "$1" /dev/zero | tr '\0' '\1'; }
  cmp <(ones 4112; head -c 4096 /dev/zero | tr '\0' '\4'; ones 57328) "$1" ||
    fail "$(basename "$1") is not the ROM with offsets \$1010 to \$200F raised by 3"
}

# window_recorded RECORD WANT: what the stand-in emulator recorded (line ends aside) must be WANT.
window_recorded() {
  [ "$(tr -d '\r' < "$1")" = "$2" ] || fail "the emulator recorded [$(cat "$1")], want [$2]"
}

# Types $1 into the box that has the focus, in place of what it held.
window_type() {
  xdotool key ctrl+a
  xdotool type --delay 30 "$1"
}

# window_type_job FOLDER EMULATOR [ROM START END ADD]: types a job into the boxes, "Auto"
# unchecked and the action "Add"; by default the ROM "pattern rom.nes", the range 4112 to
# %10000000001111 and Add 3.
window_type_job() {
  window_click 200 17
  window_type "$1" # txtPath
  xdotool key Tab Tab # past the folder button
  window_type "$2"
  xdotool key Tab Tab
  window_type "${3:-pattern rom.nes}"
  xdotool key Tab Tab Tab space # past the folder button and txtCreate: "Auto" unchecked
  window_click 70 154
  window_type "${4:-4112}" # txtStart
  xdotool key Tab
  window_type "${5:-%10000000001111}"
  window_click 444 289 # txtAdd: the press chooses "Add"
  window_type "${6:-3}"
}

# A checksum of the part of the client area given as WxH+X+Y.
window_crop() {
  local size=${1%%+*} at=${1#*+}
  import -window "$window_id" "$window_log.png" 2> /dev/null || return 0
  convert "$window_log.png" -crop "$size+${at%%+*}+$((window_top + ${at#*+}))" +repage rgb:- | md5sum
}

# Chooses a menu entry by its access keys: window_menu alt+f x.
window_menu() {
  xdotool key --clearmodifiers "$1"
  shift
  for key; do
    sleep 0.3
    xdotool key "$key"
  done
  sleep 0.3
}

# Waits for a message box (captioned "ROM Glitchforge 6.0") shown after what $1 names, and
# answers it with Enter.
window_box() {
  local box
  box=$(timeout 10 xdotool search --sync --onlyvisible --name '^ROM Glitchforge 6\.0$' | head -n 1) ||
    fail "no message box after $1"
  xdotool windowfocus --sync "$box" key Return
}

# The program must end by itself within the seconds given, with status 0.
window_ended() {
  for _ in $(seq $(($1 * 10))); do
    kill -0 "$window_pid" 2> /dev/null || break
    sleep 0.1
  done
  kill -0 "$window_pid" 2> /dev/null && fail "the program did not end within $1 s"
  wait "$window_pid" || fail "the program ended with status $?: $(cat "$window_log")"
}

# File > Exit; a command given is run once Exit is chosen (window_box, for a close with a message).
window_close() {
  xdotool windowfocus --sync "$window_id"
  window_menu alt+f x
  "${@:-true}"
  window_ended 10
}
