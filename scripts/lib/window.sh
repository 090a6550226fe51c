# shellcheck shell=bash
# Shared by the scripts that drive the real program's window under Xvfb. Sourced right after
# `set -euo pipefail`; it works from the top of the tree and names the script in every message.
#
# Such a script runs itself a second time inside a fresh Xvfb (window_in_xvfb ARGS, which the
# script sees as `--in-xvfb ARGS`). That inner run starts the program with directories of its
# own (window_start), waits for its window (window_wait) and ends it through File > Exit
# (window_close).

self=$(readlink -f "$0")
window_script=$(basename "$self" .sh)
cd "$(dirname "${BASH_SOURCE[0]}")/../.." || exit 1

window_title="ROM Glitchforge 5.99 by Quorvath"
window_failure_shot=/tmp/glitchforge-${window_script//_/-}-failure.png

fail() {
  echo "$window_script: FAILED: $*" >&2
  exit 1
}

# The program to run, as an absolute name: $GLITCHFORGE_BIN, else the build directory's
# ($GLITCHFORGE_BUILD_DIR, or build). Where the build directory has none: with --build it is
# built there first, otherwise the name given takes its place.
window_program() {
  local build=${GLITCHFORGE_BUILD_DIR:-build} bin
  if [ -n "${GLITCHFORGE_BIN:-}" ]; then
    bin=$GLITCHFORGE_BIN
  elif [ -x "$build/glitchforge" ]; then
    bin=$build/glitchforge
  elif [ "${1:-}" = --build ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
    cmake --build "$build" -j2 --target glitchforge >&2
    bin=$build/glitchforge
  else
    bin=${1:-$build/glitchforge}
  fi
  [ -x "$bin" ] || fail "no program to run: $bin"
  readlink -f "$bin"
}

# Runs this script again, with --in-xvfb and the arguments given, on a 1024x768 screen of its own.
window_in_xvfb() {
  timeout 120 xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96 -nolisten tcp" bash "$self" --in-xvfb "$@"
}

# window_start DIR COMMAND...: starts the program in the background with configuration, cache
# and runtime directories under DIR, so that it neither reads nor writes the user's settings, and
# its output in DIR/program.log. A script that ends while the program still runs kills it, after
# saving the screen when it failed.
window_start() {
  unset QT_QPA_PLATFORM
  export XDG_CONFIG_HOME="$1/config" XDG_CACHE_HOME="$1/cache" XDG_RUNTIME_DIR="$1/runtime"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  window_log=$1/program.log
  shift
  "$@" > "$window_log" 2>&1 &
  window_pid=$!
  trap window_on_exit EXIT
}

window_on_exit() {
  local status=$?
  kill -0 "$window_pid" 2> /dev/null || return 0
  if [ "$status" != 0 ] && import -window root "$window_failure_shot" 2> /dev/null; then
    echo "$window_script: the screen at the failure: $window_failure_shot" >&2
  fi
  kill "$window_pid" 2> /dev/null || true
}

# Sets window_id to the program's window once it is shown, waiting 30 s at the most.
window_wait() {
  window_id=$(timeout 30 xdotool search --sync --onlyvisible --name "^${window_title}\$" | head -n 1) ||
    fail "no window titled \"$window_title\" within 30 s (program output: $(cat "$window_log"))"
}

# Gives the window the keyboard.
window_focus() {
  xdotool windowfocus --sync "$window_id"
  sleep 0.5
}

# Waits for a message box (captioned "ROM Glitchforge 6.0") shown after what $1 names, and
# answers it with Enter.
window_box() {
  local box
  box=$(timeout 10 xdotool search --sync --onlyvisible --name '^ROM Glitchforge 6\.0$' | head -n 1) ||
    fail "no message box after $1"
  xdotool windowfocus --sync "$box" key Return
  sleep 0.3
}

# File > Exit through the keyboard: the program must end by itself within the seconds given
# (10 unless told otherwise), with status 0. A second argument is run once Exit is chosen
# (window_box, for a close that shows a message).
window_close() {
  local seconds=${1:-10} after=${2:-} status=0
  xdotool windowfocus --sync "$window_id"
  xdotool key --clearmodifiers alt+f
  sleep 0.5
  xdotool key x
  $after
  for _ in $(seq $((seconds * 10))); do
    kill -0 "$window_pid" 2> /dev/null || break
    sleep 0.1
  done
  kill -0 "$window_pid" 2> /dev/null && fail "File > Exit did not end the program within $seconds s"
  wait "$window_pid" || status=$?
  [ "$status" = 0 ] || fail "the program ended with status $status: $(cat "$window_log")"
}
