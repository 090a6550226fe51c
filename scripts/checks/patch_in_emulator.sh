#!/usr/bin/env bash
# The exported patches judged by emulators nobody here wrote. A small NES cartridge is built with
# cc65 from scripts/lib/cartridge.s; the real window, on a settings store of its own, corrupts its
# first CHR tiles with "Add" (the emulator command only records that it ran), and File > Export...
# writes the glitch twice: as IPS under the name the save dialog proposes (cart.ips beside
# cart.nes, taken with Enter) and as BPS (cart.bps, typed in). Then, under the same Xvfb:
# - fceux (Debian's 2.6.5) runs each cartridge 30 frames from a Lua script and saves its picture.
#   It applies a patch only under the ROM's whole name with ".ips" added, so the exported cart.ips
#   goes beside the clean cartridge as cart.nes.ips, where fceux must show the corrupted output's
#   picture.
# - RetroArch with its Nestopia core runs each cartridge 30 frames and saves the core's picture.
#   It looks for the name with the extension replaced (cart.bps, cart.ips) and checks the BPS
#   checksums of source, target and patch. The clean cartridge with cart.bps beside it must show
#   the corrupted output's picture, as must the clean cartridge with the proposed cart.ips.
# In each emulator the clean cartridge alone must show another picture than the output.
set -euo pipefail
# shellcheck source=scripts/lib/window.sh
source "$(dirname "$(readlink -f "$0")")/../lib/window.sh"

fceux=/usr/games/fceux
nestopia=/usr/lib/x86_64-linux-gnu/libretro/nestopia_libretro.so
frames=30

# export_as ENTRY FILE: File > Export..., where ENTRY is typed into the save dialog's name box, or
# the proposed name is taken when ENTRY is empty; then the message of success, and FILE written.
export_as() {
  local dialog
  # As window_close does: without it, the Alt+F typed after GO reached the focused box as letters.
  xdotool windowfocus --sync "$window_id"
  window_menu alt+f e
  dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Export$' | head -n 1) ||
    fail "no save dialog after File > Export..."
  xdotool windowfocus --sync "$dialog"
  [ -z "$1" ] || window_type "$1"
  xdotool key Return
  window_box "the export of $(basename "$2")"
  [ -s "$2" ] || fail "the export wrote no $2"
}

# fceux_picture ROM PNG: the picture fceux shows after $frames frames of ROM.
fceux_picture() {
  HOME=$work/fceux SDL_AUDIODRIVER=dummy SHOT=$2 timeout 30 "$fceux" --no-config 1 --sound 0 \
    --loadlua "$work/picture.lua" "$1" > "$2.log" 2>&1 ||
    fail "fceux on $1 ended with status $?: $(tail -n 5 "$2.log")"
  [ -s "$2" ] || fail "fceux saved no picture of $1: $(tail -n 5 "$2.log")"
}

# retroarch_picture ROM PNG: the picture RetroArch's Nestopia core shows after $frames frames.
retroarch_picture() {
  HOME=$work/retroarch XDG_CONFIG_HOME=$work/retroarch timeout 30 retroarch \
    -c "$work/retroarch.cfg" -L "$nestopia" --max-frames=$frames --max-frames-ss \
    --max-frames-ss-path="$2" --verbose "$1" > "$2.log" 2>&1 ||
    fail "retroarch on $1 ended with status $?: $(tail -n 5 "$2.log")"
  [ -s "$2" ] || fail "retroarch saved no picture of $1: $(tail -n 5 "$2.log")"
}

if [ "${1:-}" = --in-xvfb ]; then
  work=$2 job=$2/job
  window_open "$work" "$3"
  # The first four CHR tiles, $4010 to $404F, each byte raised by 85.
  window_type_job "$job/" '"record.sh" "%1"' cart.nes '$4010' '$404F' 85
  xdotool key Return
  window_await_runs "$work/record" 1
  export_as "" "$job/cart.ips"
  export_as "$job/cart.bps" "$job/cart.bps"
  window_close

  shots=$work/shots
  mkdir -p "$work/fceux" "$work/retroarch" "$shots" "$work/bare" "$work/fceux-ips" \
    "$work/retroarch-ips" "$work/retroarch-bps"
  for dir in bare fceux-ips retroarch-ips retroarch-bps; do cp "$work/cart.nes" "$work/$dir/"; done
  cp "$job/cart.ips" "$work/fceux-ips/cart.nes.ips"
  cp "$job/cart.ips" "$work/retroarch-ips/cart.ips"
  cp "$job/cart.bps" "$work/retroarch-bps/cart.bps"

  fceux_picture "$job/CORRUPT.nes" "$shots/fceux-output.png"
  fceux_picture "$work/bare/cart.nes" "$shots/fceux-clean.png"
  fceux_picture "$work/fceux-ips/cart.nes" "$shots/fceux-ips.png"
  grep -q 'Applying IPS' "$shots/fceux-ips.png.log" || fail "fceux did not apply cart.nes.ips"

  retroarch_picture "$job/CORRUPT.nes" "$shots/retroarch-output.png"
  retroarch_picture "$work/bare/cart.nes" "$shots/retroarch-clean.png"
  retroarch_picture "$work/retroarch-ips/cart.nes" "$shots/retroarch-ips.png"
  retroarch_picture "$work/retroarch-bps/cart.nes" "$shots/retroarch-bps.png"
  grep -q 'Found BPS file' "$shots/retroarch-bps.png.log" || fail "retroarch did not find cart.bps"
  exit 0
fi

bin=$(window_program)
[ -x "$fceux" ] && [ -f "$nestopia" ] && command -v retroarch ca65 ld65 compare > /dev/null ||
  fail "fceux, retroarch, libretro-nestopia, cc65 or ImageMagick is missing: run scripts/deps.sh"
work=$(mktemp -d /tmp/glitchforge-patch-in-emulator.XXXXXX)
# fceux writes its log to /tmp/fceux.log, a name it fixes: a log found there before is put back.
fceux_log=/tmp/fceux.log
[ ! -e "$fceux_log" ] || cp -p "$fceux_log" "$work/fceux.log.before"
trap 'if [ -e "$work/fceux.log.before" ]; then mv -f "$work/fceux.log.before" "$fceux_log"; else
  rm -f "$fceux_log"; fi; rm -rf "$work"' EXIT
ca65 -o "$work/cart.o" scripts/lib/cartridge.s &&
  ld65 -C scripts/lib/cartridge.cfg -o "$work/cart.nes" "$work/cart.o" ||
  fail "cc65 could not build the cartridge"
mkdir "$work/job"
cp "$work/cart.nes" "$work/job/cart.nes"
window_emulator "$work/job/record.sh" "$work/record"
cat > "$work/picture.lua" << EOF
for _ = 1, $frames do emu.frameadvance() end
gui.savescreenshotas(os.getenv("SHOT"))
emu.frameadvance()
emu.frameadvance()
emu.exit()
EOF
cat > "$work/retroarch.cfg" << 'EOF'
audio_enable = "false"
audio_driver = "null"
video_gpu_screenshot = "false"
config_save_on_exit = "false"
pause_nonactive = "false"
menu_driver = "rgui"
EOF

window_in_xvfb "$work" "$bin" || fail "the run under Xvfb"

# same A B: whether the two pictures are alike in every pixel.
same() {
  local differing
  differing=$(compare -metric AE "$1" "$2" null: 2>&1) || true
  [[ $differing =~ ^[0-9]+$ ]] || fail "ImageMagick cannot compare $1 and $2: $differing"
  [ "$differing" = 0 ]
}
shots=$work/shots
cmp -s "$work/cart.nes" "$work/job/CORRUPT.nes" && fail "the output is the clean cartridge"
same "$shots/fceux-output.png" "$shots/fceux-clean.png" &&
  fail "fceux shows the corrupted output as the clean cartridge: the corruption shows nothing"
same "$shots/fceux-ips.png" "$shots/fceux-output.png" ||
  fail "fceux shows the clean cartridge with the exported cart.nes.ips unlike the corrupted output"
same "$shots/retroarch-output.png" "$shots/retroarch-clean.png" &&
  fail "retroarch shows the corrupted output as the clean cartridge"
same "$shots/retroarch-ips.png" "$shots/retroarch-output.png" ||
  fail "retroarch shows the clean cartridge with the exported cart.ips unlike the corrupted output"
same "$shots/retroarch-bps.png" "$shots/retroarch-output.png" ||
  fail "retroarch shows the clean cartridge with the exported cart.bps unlike the corrupted output"
echo "patch_in_emulator: passed: the exported IPS (fceux as cart.nes.ips, RetroArch as cart.ips)" \
  "and BPS (RetroArch as cart.bps) make a clean cartridge show the corrupted output's picture"
