#!/usr/bin/env bash
# Builds the Debian package from the build tree, checks what it holds and runs lintian and the
# AppStream validator on it (any error or warning fails), installs it with apt-get, checks the
# installed desktop entry, icons and --version, starts the installed program under Xvfb, closes it
# through its File menu and removes the package again with whatever it pulled in. Needs root.
set -euo pipefail
# shellcheck source=scripts/lib/window.sh
source "$(dirname "$(readlink -f "$0")")/../lib/window.sh"

if [ "${1:-}" = --in-xvfb ]; then
  window_start "$2" /usr/games/glitchforge
  window_wait
  window_close
  [ -f "$XDG_CONFIG_HOME/Rom Glitchforge 6.conf" ] || fail "closing stored no settings"
  exit 0
fi

[ -x build/glitchforge ] || fail "build/glitchforge is not built"
[ "$(id -u)" = 0 ] || fail "installing the package needs root"
work=$(mktemp -d)
chmod 755 "$work" # apt reads the local package as its own unprivileged user
dpkg-query -W -f='${Package}\n' | sort > "$work/before"
if grep -qx glitchforge "$work/before"; then
  echo "package: note: glitchforge was installed already; it is replaced and removed at the end"
fi
cleanup() {
  if [ -f "$work/installing" ]; then # remove the package and what its installation pulled in
    mapfile -t pulled < <(dpkg-query -W -f='${Package}\n' | sort | comm -13 "$work/before" -)
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq glitchforge "${pulled[@]}" > /dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "package: building the .deb"
timeout 300 cpack --config build/CPackConfig.cmake -G DEB -B "$work/out" > "$work/log" 2>&1 ||
  { cat "$work/log"; fail "cpack"; }
deb=$(ls "$work"/out/glitchforge_*.deb) || fail "cpack made no glitchforge_*.deb"
echo "package: $(basename "$deb")"
id=io.github.glitchforge.glitchforge
contents=$(dpkg-deb -c "$deb" | awk '{ print $NF }')
for path in games/glitchforge share/man/man6/glitchforge.6.gz share/doc/glitchforge/{copyright,changelog.gz} \
  share/{applications/$id.desktop,metainfo/$id.metainfo.xml} share/icons/hicolor/scalable/apps/$id.svg; do
  grep -qx -- "./usr/$path" <<< "$contents" || fail "the package lacks /usr/$path"
done
[ "$(dpkg-deb -f "$deb" Package)" = glitchforge ] || fail "the package is named $(dpkg-deb -f "$deb" Package)"
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt6widgets6* && $depends == *qt6-qpa-plugins* ]] ||
  fail "Depends names no libqt6widgets6 or no qt6-qpa-plugins: $depends"

echo "package: lintian and appstreamcli validate"
lintian --fail-on error,warning --display-level '>=pedantic' "$deb" 2> "$work/log" ||
  { cat "$work/log"; fail "lintian"; }
dpkg-deb -x "$deb" "$work/tree"
appstreamcli validate --no-net --pedantic "$work/tree/usr/share/metainfo/$id.metainfo.xml" ||
  fail "the AppStream metadata does not validate"

echo "package: installing"
touch "$work/installing"
DEBIAN_FRONTEND=noninteractive timeout 300 apt-get install -y -qq "$deb" > "$work/log" 2>&1 ||
  { cat "$work/log"; fail "apt-get install"; }
desktop=/usr/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "the installed desktop entry does not validate"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry does not name the icon $id"
# A user's PATH on Debian (/etc/profile) holds /usr/games; root's does not.
exec_line=$(grep '^Exec=' "$desktop")
[ "$(PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games command -v "${exec_line#Exec=}")" = \
  /usr/games/glitchforge ] || fail "$exec_line does not find the program on a user's PATH"
for size in 16x16 32x32 48x48 256x256; do
  png=/usr/share/icons/hicolor/$size/apps/$id.png
  [ "$(identify -format '%wx%h' "$png")" = "$size" ] || fail "$png is not $size"
done
version=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= /usr/games/glitchforge --version) ||
  fail "--version without a display"
[ "$version" = "Glitchforge $(dpkg-deb -f "$deb" Version)" ] || fail "--version says: $version"

echo "package: starting the installed program"
window_in_xvfb "$work" || fail "the installed program"
echo "package: passed"
