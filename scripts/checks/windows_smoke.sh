#!/usr/bin/env bash
# The Windows zip under Wine, under Xvfb: builds it (scripts/windows-app.sh) against the Windows
# Qt that scripts/windows-qt.sh leaves in the cache, unpacks it into a fresh folder and starts
# glitchforge.exe with a Wine prefix of its own. The first-run window is saved as
# build-windows/screenshot-windows.png; a job typed into the window's boxes (a folder on drive C:
# whose name holds a space, an emulator command with quotes, Add 3) is run with GO, and the output's
# bytes, the stand-in emulator's folder and arguments, and the options stored in the registry at
# File > Exit are checked. Without the Windows Qt it prints one line and passes.
set -euo pipefail
# shellcheck source=scripts/lib/window.sh
source "$(dirname "$(readlink -f "$0")")/../lib/window.sh"

qt="${XDG_CACHE_HOME:-$HOME/.cache}/glitchforge/qt6-mingw"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver64 || command -v wineserver || echo /usr/lib/wine/wineserver64)

# The number of the program's windows on the screen (Wine names their class after the .exe).
program_windows() { xdotool search --onlyvisible --classname '^glitchforge\.exe$' 2> /dev/null | wc -l; }

if [ "${1:-}" = --in-xvfb ]; then
  work=$2 exe=$3 shot=$4
  unset QT_QPA_PLATFORM
  export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  "$wineserver" -p < /dev/null > /dev/null 2>&1
  trap '"$wineserver" -k 2> /dev/null || true' EXIT
  "$wine" wineboot --init < /dev/null > /dev/null 2>&1
  drive="$WINEPREFIX/drive_c"
  mkdir -p "$drive/nes" "$drive/job dir" "$drive/my roms"
  cp "$work/pattern rom.nes" "$drive/nes/mario.nes"
  cp "$work/record args.exe" "$drive/nes/nesticle.exe"
  cp "$work/pattern rom.nes" "$work/record args.exe" "$drive/job dir/"
  cp "$work/pattern rom.nes" "$drive/my roms/zelda.nes"

  window_start "$work" "$wine" "$exe"
  trap 'window_on_exit; "$wineserver" -k 2> /dev/null || true' EXIT
  window_wait
  sleep 1 # let the first paint finish
  import -window "$window_id" -strip "$shot"
  [ "$WIDTH" = 558 ] && [ "$window_top" -gt 0 ] ||
    fail "the window is ${WIDTH}x$HEIGHT, want 558 wide and 344 + a menu bar high"

  # The first-run job as it stands: C:\nes\mario.nes, nesticle.exe, Random Bytes $1010 to $2010.
  window_click 40 326 # GO
  window_await_runs "$drive/nes/record.txt" 1
  cp "$drive/nes/record.txt" "$work/first-record.txt"
  cp "$drive/nes/CORRUPT.nes" "$work/first-output.nes"

  # A job typed in.
  window_type_job 'C:\job dir\' '"record args.exe" --file "%1"'
  window_click 40 326 # GO
  window_await_runs "$drive/job dir/record.txt" 1
  cp "$drive/job dir/record.txt" "$work/record.txt"
  cp "$drive/job dir/CORRUPT.nes" "$work/"

  # The ROM picked in the file dialog: its folder goes to the path box, its name to the ROM box.
  window_click 430 64
  for _ in $(seq 300); do [ "$(program_windows)" -ge 2 ] && break; sleep 0.1; done
  [ "$(program_windows)" -ge 2 ] || fail "no file dialog within 30 s"
  sleep 1
  xdotool type --delay 30 'C:\my roms\zelda.nes'
  xdotool key Return
  for _ in $(seq 300); do [ "$(program_windows)" -le 1 ] && break; sleep 0.1; done
  [ "$(program_windows)" -le 1 ] || fail "the file dialog did not close within 30 s"

  window_close
  "$wine" reg query 'HKCU\Software\Rom Glitchforge 6\OrganizationDefaults\Defaults' \
    < /dev/null > "$work/registry.txt" 2>&1 || fail "no Defaults in the registry: $(cat "$work/registry.txt")"
  exit 0
fi

if [ ! -f "$qt/.complete" ]; then
  echo "skipped: no Windows Qt; \`bash scripts/windows-qt.sh\` builds it in about 100 minutes"
  exit 0
fi
zip=$(bash scripts/windows-app.sh | tail -n 1)
zip=${zip%%:*}
[ -f "$zip" ] || fail "windows-app.sh made no zip"

work=$(mktemp -d /tmp/glitchforge-windows-smoke.XXXXXX)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work/unpacked"
exe=$(find "$work/unpacked" -name glitchforge.exe)
[ -n "$exe" ] || fail "the zip holds no glitchforge.exe"
window_pattern_rom "$work/pattern rom.nes"
x86_64-w64-mingw32-gcc-posix -O2 -static -municode -o "$work/record args.exe" scripts/lib/record_args.c
mkdir -p build-windows

window_seconds=240 window_in_xvfb "$work" "$exe" "$PWD/build-windows/screenshot-windows.png" ||
  fail "the run under Wine"
window_recorded "$work/first-record.txt" $'C:\\nes\nCORRUPT.nes\n--'
cmp -n 4112 "$work/pattern rom.nes" "$work/first-output.nes" &&
  cmp -i 8209 "$work/pattern rom.nes" "$work/first-output.nes" ||
  fail "the first-run job altered bytes outside \$1010 to \$2010"
! cmp -s "$work/pattern rom.nes" "$work/first-output.nes" || fail "the first-run job altered nothing"
window_recorded "$work/record.txt" $'C:\\job dir\n--file\nCORRUPT.nes\n--'
window_pattern_added "$work/CORRUPT.nes"
# What was typed and picked, as stored in the registry at the close.
stored=$(tr -d '\r' < "$work/registry.txt" | grep -E '^ +(add|autocreate|emu|end|path|rom|start) ' |
  awk '{ $2 = ""; print }' | sed 's/  */ /g; s/^ //' | LC_ALL=C sort | paste -sd '|')
want='add 3|autocreate 0|emu "record args.exe" --file "%1"|end %10000000001111|path C:\my roms\|rom zelda.nes|start 4112'
[ "$stored" = "$want" ] || fail "the registry holds [$stored], want [$want]"
echo "windows_smoke: passed ($(basename "$zip"), $(( $(stat -c %s "$zip") / 1024 )) KiB)"
