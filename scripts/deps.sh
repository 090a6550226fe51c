#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# and only those that are missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev libz-mingw-w64-dev
  clang libclang-rt-14-dev clang-format
  xvfb xauth xdotool imagemagick fonts-liberation libx11-dev
  dpkg-dev file desktop-file-utils librsvg2-bin lintian appstream
  g++-mingw-w64-x86-64-posix wine64 googletest zip unzip
  cc65 fceux retroarch libretro-nestopia
)
if [ "${1:-}" = "--run-only" ]; then
  packages=(build-essential cmake ninja-build zlib1g-dev qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
            fonts-liberation)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq -o DPkg::Lock::Timeout=600 --no-install-recommends "${missing[@]}"
fi
