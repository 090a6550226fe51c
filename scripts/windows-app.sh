#!/usr/bin/env bash
# Cross-builds the program (glitchforge.exe; no tests, no benchmarks) for
# 64-bit Windows against the Qt that scripts/windows-qt.sh builds, and packs
# build-windows/glitchforge-VERSION-windows-x64.zip: the program, the Qt and
# MinGW runtime DLLs it loads, Qt's platform and style plugins, the README and
# the licences. Qt is linked dynamically (LGPL); zlib and the rest of the
# program's code statically. Prints the zip's name.
#
# JOBS (default 2) sets the parallel build steps; run it with `nice -n 19` on
# a shared machine.
set -euo pipefail
cd "$(dirname "$0")/.."

qt="${XDG_CACHE_HOME:-$HOME/.cache}/glitchforge/qt6-mingw"
triplet=x86_64-w64-mingw32
out=build-windows
if [ ! -f "$qt/.complete" ]; then
  echo "windows-app.sh: no Windows Qt in $qt; bash scripts/windows-qt.sh builds it" >&2
  exit 1
fi
started=$SECONDS

version=$(sed -n 's/^project(Glitchforge VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=glitchforge-$version-windows-x64
"$qt/bin/qt-cmake" -S . -B "$out/app" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release \
  -DGLITCHFORGE_TESTS=OFF -DGLITCHFORGE_BENCH=OFF -DGLITCHFORGE_WERROR=ON \
  -DZLIB_USE_STATIC_LIBS=ON > /dev/null
cmake --build "$out/app" --parallel "${JOBS:-2}" --target glitchforge

# The folder the zip holds, made afresh.
stage="$out/$name"
rm -rf "$stage" "$out/$name.zip"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/licenses/qt" "$stage/licenses/mingw-w64"
"$triplet-strip" -o "$stage/glitchforge.exe" "$out/app/glitchforge.exe"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"

# Every DLL the program and the plugins import, and what those import in
# turn, from Qt's and the compiler's folders. A DLL found in none of them
# must be one of Windows' own; they are listed, so that a stray one shows.
folders=("$qt/bin" "$(dirname "$("$triplet-g++-posix" -print-file-name=libstdc++-6.dll)")"
         "/usr/$triplet/lib")
imports() { "$triplet-objdump" -p "$1" | sed -n 's/^\tDLL Name: //p'; }
queue=("$stage/glitchforge.exe" "$stage/platforms/qwindows.dll" "$stage/styles/qwindowsvistastyle.dll")
system=()
declare -A seen=()
while [ ${#queue[@]} -gt 0 ]; do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  for dll in $(imports "$file"); do
    key=${dll,,}
    [ -z "${seen[$key]:-}" ] || continue
    seen[$key]=1
    found=
    for folder in "${folders[@]}"; do
      [ -f "$folder/$dll" ] && found="$folder/$dll" && break
    done
    if [ -n "$found" ]; then
      # Debian's MinGW runtime DLLs keep their debugging sections (libstdc++ is 23 MB with them).
      "$triplet-strip" --strip-unneeded -o "$stage/$dll" "$found"
      queue+=("$stage/$dll")
      # The MinGW runtime's terms, from its Debian package.
      package=$(dpkg -S "$(readlink -f "$found")" 2> /dev/null | head -n 1 | cut -d: -f1 || true)
      if [ -n "$package" ] && [ -f "/usr/share/doc/$package/copyright" ]; then
        cp "/usr/share/doc/$package/copyright" "$stage/licenses/mingw-w64/$package.copyright"
      fi
    else
      system+=("$dll")
    fi
  done
done
for dll in "${system[@]}"; do
  case ${dll,,} in
    kernel32.dll | user32.dll | gdi32.dll | shell32.dll | ole32.dll | oleaut32.dll | advapi32.dll | \
      comdlg32.dll | winmm.dll | ws2_32.dll | version.dll | netapi32.dll | userenv.dll | uxtheme.dll | \
      dwmapi.dll | imm32.dll | shlwapi.dll | setupapi.dll | wtsapi32.dll | d3d9.dll | d3d11.dll | \
      dxgi.dll | dwrite.dll | d2d1.dll | shcore.dll | msvcrt.dll | authz.dll | mpr.dll | \
      api-ms-win-*.dll) ;;
    *) echo "windows-app.sh: $dll is imported but found neither in Qt nor in MinGW-w64" >&2
       exit 1 ;;
  esac
done

cp README.md "$stage/README.md"
cp LICENSE "$stage/LICENSE.txt"
cp -r "$qt/licenses/." "$stage/licenses/qt/"
cat > "$stage/licenses/README.txt" << EOF
glitchforge.exe is Glitchforge $version, under the terms in LICENSE.txt beside it.

It loads Qt's libraries (Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll, platforms/qwindows.dll and
styles/qwindowsvistastyle.dll), which are under the GNU Lesser General Public License v3:
qt/LGPL-3.0-only.txt, which builds on qt/GPL-3.0-only.txt. qt/QT-SOURCE.txt says which Qt
this is and where its source comes from; qt/third-party/ holds the notices of the code Qt
bundles. You may replace these DLLs by your own build of the same Qt version.

libstdc++-6.dll, libgcc_s_seh-1.dll and libwinpthread-1.dll are the MinGW-w64 GCC runtime
(GPL with the GCC Runtime Library Exception, and MIT-style licences for winpthreads); their
Debian packages' notices are in mingw-w64/.
EOF

# The same sources give the same zip: one time stamp (the last commit's) and
# a fixed order of the files.
stamp=$(git log -1 --format=%ct 2> /dev/null || echo 315532800)
find "$stage" -exec touch -h -d "@$stamp" {} +
(cd "$out" && find "$name" -print | LC_ALL=C sort | TZ=UTC zip -q -X -9 "$name.zip" -@)
size=$(stat -c %s "$out/$name.zip")
echo "$out/$name.zip: $((size / 1024)) KiB, $(unzip -Z1 "$out/$name.zip" | grep -vc '/$') files," \
  "built in $((SECONDS - started)) s"
