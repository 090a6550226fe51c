#!/bin/sh
# The program's command line answers without a display, so nothing may build a QApplication
# before it: --help and --version (also after Qt's own options) print and give 0, and a wrong
# option or argument gives 2 with a message naming the program, and so does a start with no
# display to open the window on.
# Usage: command_line_test.sh PROGRAM VERSION
program=$1 version=$2
run() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$program" "$@"; }
fail() { echo "FAILED: $*" >&2; exit 1; }

[ "$(run --version)" = "Glitchforge $version" ] || fail "--version: $(run --version 2>&1)"
[ "$(run -platform offscreen -style=fusion -reverse -v)" = "Glitchforge $version" ] ||
  fail "Qt's options before -v"
run --help | grep -q -- "-v, --version" || fail "--help: $(run --help 2>&1)"
for wrong in --no-such-option -platform stray.nes ""; do
  status=0
  message=$(run $wrong 2>&1) || status=$?  # "" alone: no display
  [ "$status" = 2 ] || fail "$wrong gave status $status: $message"
  echo "$message" | grep -q "^glitchforge: " || fail "$wrong: $message"
done
