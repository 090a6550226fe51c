#!/usr/bin/env bash
# Builds the Debian package from the build tree, checks what it holds and runs lintian and the
# AppStream validator on it (any error or warning fails), installs it with apt-get, checks the
# installed desktop entry, icons and command line, starts the installed program under Xvfb,
# closes it through its File menu and removes the package again. Needs root (or sudo) for apt-get.
set -euo pipefail
# shellcheck source=scripts/lib/window.sh
source "$(dirname "$(readlink -f "$0")")/../lib/window.sh"

# Runs inside xvfb-run: start the installed program with a settings store of its own, wait for
# its window, close it from the menu and wait for the program to end.
if [ "${1:-}" = --in-xvfb ]; then
  window_start "$2" /usr/games/glitchforge
  window_wait
  window_close
  [ -f "$XDG_CONFIG_HOME/Rom Glitchforge 6.conf" ] || fail "closing stored no settings"
  exit 0
fi

build=${GLITCHFORGE_BUILD_DIR:-build}
[ -x "$build/glitchforge" ] || fail "$build/glitchforge is not built"
as_root=()
if [ "$(id -u)" != 0 ]; then
  command -v sudo > /dev/null || fail "installing the package needs root or sudo"
  as_root=(sudo)
fi

work=$(mktemp -d)
chmod 755 "$work" # apt reads the local package as its own unprivileged user
installed_by_us=""
packages_before="$work/packages-before"
dpkg-query -W -f='${Package}\n' | sort > "$packages_before"
if grep -qx glitchforge "$packages_before"; then
  echo "package: note: glitchforge was installed already; it is replaced and removed at the end"
fi

cleanup() {
  if [ -n "$installed_by_us" ]; then
    # Remove the package and whatever its installation pulled in, nothing else.
    mapfile -t pulled < <(dpkg-query -W -f='${Package}\n' | sort | comm -13 "$packages_before" -)
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
      apt-get purge -y -qq glitchforge "${pulled[@]}" > /dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "package: building the .deb"
timeout 300 cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/out/glitchforge_*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no glitchforge_*.deb"
deb=${debs[0]}
echo "package: $(basename "$deb")"

id=io.github.glitchforge.glitchforge
contents=$(dpkg-deb -c "$deb" | awk '{ print $NF }')
expected=(
  ./usr/games/glitchforge
  ./usr/share/man/man6/glitchforge.6.gz
  ./usr/share/doc/glitchforge/copyright
  ./usr/share/doc/glitchforge/changelog.gz
  "./usr/share/applications/$id.desktop"
  "./usr/share/metainfo/$id.metainfo.xml"
  "./usr/share/icons/hicolor/16x16/apps/$id.png"
  "./usr/share/icons/hicolor/32x32/apps/$id.png"
  "./usr/share/icons/hicolor/48x48/apps/$id.png"
  "./usr/share/icons/hicolor/256x256/apps/$id.png"
  "./usr/share/icons/hicolor/scalable/apps/$id.svg"
)
for path in "${expected[@]}"; do
  grep -qx -- "$path" <<< "$contents" || fail "the package lacks $path"
done
[ "$(dpkg-deb -f "$deb" Package)" = glitchforge ] || fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6widgets6 qt6-qpa-plugins; do
  grep -q "$dep" <<< "$depends" || fail "Depends lacks $dep: $depends"
done

echo "package: lintian"
lintian --fail-on error,warning --display-level '>=pedantic' "$deb" 2> "$work/lintian.log" ||
  { cat "$work/lintian.log"; fail "lintian"; }
echo "package: appstreamcli validate"
dpkg-deb -x "$deb" "$work/tree"
appstreamcli validate --no-net --pedantic "$work/tree/usr/share/metainfo/$id.metainfo.xml" ||
  fail "the AppStream metadata does not validate"

echo "package: installing"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive timeout 300 apt-get install -y -qq "$deb" \
  > "$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get install"; }
installed_by_us=yes

desktop=/usr/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "the installed desktop entry does not validate"
# A user's PATH on Debian (/etc/profile) holds /usr/games; root's does not.
exec_line=$(grep '^Exec=' "$desktop")
[ "$(PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games command -v "${exec_line#Exec=}")" = \
  /usr/games/glitchforge ] || fail "$exec_line does not find the program on a user's PATH"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry does not name the icon $id"
version=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= /usr/games/glitchforge --version) ||
  fail "--version without a display"
[ "$version" = "Glitchforge $(dpkg-deb -f "$deb" Version)" ] || fail "--version says: $version"
for size in 16 32 48 256; do
  png=/usr/share/icons/hicolor/${size}x${size}/apps/$id.png
  [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || fail "$png is not ${size}x${size}"
done

echo "package: starting the installed program"
window_in_xvfb "$work" || fail "the installed program"
echo "package: passed"
