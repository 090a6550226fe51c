#!/usr/bin/env bash
# One whole job through the real program under Xvfb. A prepared settings store points the window at
# a ROM in a working directory whose name holds a space; Enter runs the job ("Add" 1 over a range),
# and File > Exit closes the window. Then the output file's bytes, the untouched ROM, the
# emulator's arguments and working directory, and the stored settings are checked.
set -euo pipefail
# shellcheck source=scripts/lib/window.sh
source "$(dirname "$(readlink -f "$0")")/../lib/window.sh"
# shellcheck source=scripts/lib/ini.sh
source scripts/lib/ini.sh

# Runs inside xvfb-run: start the program, press Enter in its window, wait for the emulator's
# record, close the window from the File menu and wait for the program to end.
if [ "${1:-}" = --in-xvfb ]; then
  work=$2 bin=$3
  # Started from another directory, so only the window's "Change directory to:" leads into the job's.
  mkdir -p "$work/elsewhere"
  cd "$work/elsewhere"
  window_start "$work" "$bin"
  window_wait
  window_focus
  xdotool key Return
  for _ in $(seq 200); do
    [ -f "$work/record" ] && break
    sleep 0.1
  done
  [ -f "$work/record" ] || fail "Enter started no emulator within 20 s (program output: $(cat "$window_log"))"
  window_close
  exit 0
fi

bin=$(window_program /usr/games/glitchforge)
echo "end_to_end: $bin"

work=$(mktemp -d /tmp/glitchforge-e2e.XXXXXX)
trap 'rm -rf "$work"' EXIT
job="$work/job dir"
mkdir -p "$job" "$work/config"
rom="$job/pattern rom.nes"
head -c 65536 /dev/urandom > "$work/pristine.nes"
cp "$work/pristine.nes" "$rom"
chmod 555 "$rom" # from a read-only, executable mount: the output is ordinary data all the same
emulator="$job/record args.sh"
cat > "$emulator" << EOF
#!/bin/sh
# Stands in for an emulator: records its working directory and its arguments, one a line.
{ pwd -P; for arg in "\$@"; do printf '%s\n' "\$arg"; done; } > "$work/record.part" &&
  mv "$work/record.part" "$work/record"
EOF
chmod +x "$emulator"

start=4112 # $1010
end=8207   # %10000000001111, $200F
declare -A expected=(
  [chdir]=1 [path]="$job/" [emu]='"record args.sh" --file "%1"' [rom]="pattern rom.nes"
  [autocreate]=1 [start]='$1010' [end]='%10000000001111' [inc]='$1000'
  [optall]=True [optnth]=False [nth]=4 [optmask]=False [mask]='%00001101'
  [optrandomseq]=1 [range1]='$00' [range2]='$FF' [sequence]='$00,$01,$02,$7F,$FF'
  [shift]=1 [add]=1 [optshift]=False [optcorrupt]=False [optadd]=True
  [optrandombytes]=True [optbyterange]=False [optsequence]=False [optoverwrite]=1
  [Name]=Defaults
)

ini="$work/config/Rom Glitchforge 6.conf"
{
  echo "[Defaults]"
  for key in $(printf '%s\n' "${!expected[@]}" | LC_ALL=C sort); do
    echo "$key=$(ini_quote "${expected[$key]}")"
  done
} > "$ini"

window_in_xvfb "$work" "$bin" || fail "running the job through the window"

# The emulator: started in the working directory with the output name in place of "%1".
mapfile -t record < "$work/record"
want=("$(cd "$job" && pwd -P)" --file CORRUPT.nes)
[ "${#record[@]}" = 3 ] && [ "${record[*]}" = "${want[*]}" ] ||
  fail "emulator record: $(printf '[%s] ' "${record[@]}"), expected $(printf '[%s] ' "${want[@]}")"

# The output file: a copy of the ROM with every byte of the range one higher, wrapping at 255.
out="$job/CORRUPT.nes"
[ -f "$out" ] || fail "no output file $out"
[ "$(stat -c %s "$out")" = 65536 ] || fail "the output file is $(stat -c %s "$out") bytes long, not 65536"
mode=$(printf '%o' $((0666 & ~0$(umask))))
[ "$(stat -c %a "$out")" = "$mode" ] || fail "the output file has mode $(stat -c %a "$out"), not $mode"
paste <(od -An -v -tu1 -w1 "$work/pristine.nes") <(od -An -v -tu1 -w1 "$out") |
  awk -v start="$start" -v end="$end" '
    { i = NR - 1; want = (i >= start && i <= end) ? ($1 + 1) % 256 : $1
      if ($2 != want && ++bad <= 5) printf "offset %d holds %d, expected %d\n", i, $2, want }
    END { exit bad > 0 }' >&2 || fail "the output file's bytes"
cmp -s "$work/pristine.nes" "$rom" || fail "the ROM was changed"
listing=$(cd "$job" && LC_ALL=C ls -A)
[ "$listing" = $'CORRUPT.nes\npattern rom.nes\nrecord args.sh' ] ||
  fail "the working directory holds: $(tr '\n' '|' <<< "$listing")"

# The settings stored at the close: the 26 fields as prepared, and the name.
section=$(ini_section "$ini" Defaults)
[ "$(grep -c = <<< "$section")" = "${#expected[@]}" ] ||
  fail "[Defaults] holds $(grep -c = <<< "$section") keys, expected ${#expected[@]}: $section"
for key in "${!expected[@]}"; do
  value=$(ini_read "$section" "$key") || fail "[Defaults] lacks $key"
  [ "$value" = "${expected[$key]}" ] || fail "[Defaults] $key is [$value], expected [${expected[$key]}]"
done
echo "end_to_end: passed"
