#!/usr/bin/env bash
# Builds the part of Qt that the window needs (Core, Gui, Widgets, the Windows
# platform plugin and the Windows style plugin) for 64-bit Windows with
# Debian's MinGW-w64 compiler, from Debian's own qt6-base source package.
# Debian's qt6-base-dev-tools (moc, rcc, uic of the same version) serve as the
# host tools.
#
# The result goes to a cache folder outside the repository:
#   ${XDG_CACHE_HOME:-$HOME/.cache}/glitchforge/qt6-mingw
# and is marked complete only at the very end. When it is complete, the script
# does nothing. An interrupted build resumes where it stopped: the source and
# the build tree stay in qt6-mingw-work beside it until the install is done.
#
# Took 100 minutes on two cores shared with other builds (at nice 19). JOBS
# (default 2) sets the parallel build steps; run it with `nice -n 19` on a
# shared machine.
set -euo pipefail
cd "$(dirname "$0")/.."

cache="${XDG_CACHE_HOME:-$HOME/.cache}/glitchforge"
prefix="$cache/qt6-mingw"
work="$cache/qt6-mingw-work"
stamp="$prefix/.complete"
jobs="${JOBS:-2}"
triplet=x86_64-w64-mingw32

if [ -f "$stamp" ]; then
  echo "Windows Qt is ready in $prefix ($(cat "$stamp"))."
  exit 0
fi

for tool in "$triplet-g++-posix" "$triplet-strip" cmake ninja apt-get /usr/lib/qt6/libexec/moc; do
  command -v "$tool" > /dev/null || {
    echo "windows-qt.sh: $tool is missing; bash scripts/deps.sh installs it" >&2
    exit 1
  }
done

# shellcheck source=scripts/lib/laps.sh
source scripts/lib/laps.sh

# The host tools and the source must be the same Qt version.
version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
upstream=${version%%+*}
upstream=${upstream%%-*}
mkdir -p "$work"

# 1. Debian's source, through private apt lists: the system's lists, caches
# and sources stay untouched. Same archive and suites as the system's.
src="$work/qtbase-everywhere-src-$upstream"
if [ ! -f "$src/CMakeLists.txt" ]; then
  apt="$work/apt"
  mkdir -p "$apt/sources" "$apt/lists/partial" "$apt/cache/archives/partial"
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
    > "$apt/sources/debian-src.sources"
  # Root fetches into these private folders itself (apt's "_apt" user may not enter them).
  aptopts=(-qq -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt/sources"
           -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" -o APT::Sandbox::User=root)
  apt-get "${aptopts[@]}" update
  (cd "$work" && { apt-get "${aptopts[@]}" source --download-only "qt6-base=$version" ||
                   apt-get "${aptopts[@]}" source --download-only qt6-base; } > /dev/null)
  orig=$(ls "$work"/qt6-base_"$upstream"*.orig.tar.xz)
  rm -rf "$src.part"
  mkdir -p "$src.part"
  tar xf "$orig" -C "$src.part" --strip-components=1
  mv "$src.part" "$src"
fi
dsc=$(cd "$work" && ls qt6-base_*.dsc | head -n 1)
Lap "source"

# 2. Configure. A toolchain file of its own, kept in the prefix: qt-cmake
# loads it again for every program built against this Qt. Programs link the
# MinGW runtime dynamically, like Qt's own DLLs.
rm -rf "$prefix"
mkdir -p "$prefix"
cat > "$prefix/mingw-w64-toolchain.cmake" << EOF
# MinGW-w64 toolchain this Qt was built with (written by windows-qt.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $triplet-gcc-posix)
set(CMAKE_CXX_COMPILER $triplet-g++-posix)
set(CMAKE_RC_COMPILER $triplet-windres)
list(APPEND CMAKE_FIND_ROOT_PATH /usr/$triplet)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

# Only what the window needs. tabletevent off: the "+dfsg" source drops
# wintab.h, which the Windows platform plugin needs for it. OpenGL stays on
# (loaded at run time): with it off, the platform plugin of 6.4.2 does not
# compile. Qt's own zlib, so that Qt6Core.dll needs no zlib1.dll.
features=(-DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_printsupport=OFF
          -DFEATURE_dbus=OFF -DFEATURE_testlib=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
          -DFEATURE_tabletevent=OFF -DFEATURE_opengl=ON -DFEATURE_system_zlib=OFF)
cmake -S "$src" -B "$work/build" -G Ninja -Wno-dev \
  -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
  -DBUILD_WITH_PCH=OFF "${features[@]}" > "$work/configure.log"
Lap "configure"

# 3. Build and install.
cmake --build "$work/build" --parallel "$jobs"
Lap "build"
cmake --install "$work/build" > /dev/null
find "$prefix/bin" "$prefix/plugins" -name '*.dll' -exec "$triplet-strip" --strip-unneeded {} +
Lap "install"

# 4. What a package of a program built against it must carry: Qt's licence
# and where its source comes from.
mkdir -p "$prefix/licenses"
cp "$src/LICENSES/LGPL-3.0-only.txt" "$src/LICENSES/GPL-3.0-only.txt" "$prefix/licenses/"
# The notices of the code Qt bundles (zlib, PCRE2, HarfBuzz, FreeType, libpng,
# libjpeg, ...), each beside the qt_attribution.json that names it.
(cd "$src" && find src -name qt_attribution.json) | while read -r json; do
  folder=$(dirname "$json")
  mkdir -p "$prefix/licenses/third-party/$folder"
  cp "$src/$json" "$prefix/licenses/third-party/$folder/"
  { grep -o '"LicenseFile": *"[^"]*"' "$src/$json" || true; } | sed 's/.*: *"\(.*\)"/\1/' |
    while read -r file; do
      if [ -f "$src/$folder/$file" ]; then
        mkdir -p "$(dirname "$prefix/licenses/third-party/$folder/$file")"
        cp "$src/$folder/$file" "$prefix/licenses/third-party/$folder/$file"
      fi
    done
done
orig=$(cd "$work" && ls qt6-base_"$upstream"*.orig.tar.xz | head -n 1)
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-stable}")
cat > "$prefix/licenses/QT-SOURCE.txt" << EOF
Qt $upstream: its base module (Core, Gui, Widgets, the Windows platform plugin
and the Windows style plugin), under the GNU Lesser General Public License v3
(LGPL-3.0-only.txt, which builds on GPL-3.0-only.txt). The Qt DLLs are linked
dynamically; you may replace them by your own build of Qt $upstream.

Source: Debian's source package qt6-base, version $version, from Debian's
archive (https://deb.debian.org/debian, suite $suite), as fetched by
  apt-get source qt6-base=$version
It can also be read at https://sources.debian.org/src/qt6-base/$version/ .
Only its upstream tarball ($orig) was used; Debian's own
patches were not applied. The Qt Project publishes Qt $upstream's full source
(Debian's "+dfsg" tarball leaves a few files out) at https://download.qt.io/archive/qt/ .

Compiled for x86_64-w64-mingw32 with Debian's MinGW-w64 GCC
$($triplet-g++-posix -dumpversion) (POSIX threads), configured with:
${features[*]}
EOF

rm -rf "$work"
Lap "licences"
echo "Qt $upstream for Windows built from Debian's $dsc on $(date -u +%Y-%m-%d)" > "$stamp"
echo "Windows Qt ready in $prefix: $(Laps), $(du -sh "$prefix" | cut -f1)"
