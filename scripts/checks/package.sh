#!/usr/bin/env bash
# Builds the Debian package from the build tree, checks what it holds and runs lintian on it (any error
# or warning fails), asks apt whether it would install (without installing it: the machine's packages
# stay as they were), unpacks it into a folder, validates its desktop entry and AppStream metadata there,
# and starts the unpacked program under Xvfb and closes it by File > Exit.
set -euo pipefail
# shellcheck source=scripts/lib/window.sh
source "$(dirname "$(readlink -f "$0")")/../lib/window.sh"

if [ "${1:-}" = --in-xvfb ]; then
  window_open "$2" "$2/root/usr/games/glitchforge"
  window_close
  exit 0
fi

work=$(mktemp -d)
chmod 755 "$work" # apt reads the local package as its own unprivileged user
trap 'rm -rf "$work"' EXIT

timeout 300 cpack --config build/CPackConfig.cmake -G DEB -B "$work/out" > "$work/log" 2>&1 ||
  { cat "$work/log"; fail "cpack"; }
deb=$(ls "$work"/out/glitchforge_*.deb) || fail "cpack made no glitchforge_*.deb"
echo "package: $(basename "$deb")"
id=io.github.glitchforge.glitchforge
contents=$(dpkg-deb -c "$deb" | awk '{ print $NF }')
for path in games/glitchforge share/man/man6/glitchforge.6.gz share/doc/glitchforge/{copyright,changelog.gz} \
  share/{applications/$id.desktop,metainfo/$id.metainfo.xml} share/icons/hicolor/scalable/apps/$id.svg \
  share/icons/hicolor/{16x16,32x32,48x48,256x256}/apps/$id.png; do
  grep -qx -- "./usr/$path" <<< "$contents" || fail "the package lacks /usr/$path"
done
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt6widgets6* && $depends == *qt6-qpa-plugins* ]] || fail "Depends: $depends"
lintian --fail-on error,warning --display-level '>=pedantic' "$deb" 2> "$work/log" ||
  { cat "$work/log"; fail "lintian"; }

timeout 300 apt-get install --simulate -qq "$deb" > "$work/log" 2>&1 ||
  { cat "$work/log"; fail "apt-get install --simulate: its dependencies cannot be met"; }
dpkg-deb -x "$deb" "$work/root"
desktop=$work/root/usr/share/applications/$id.desktop
desktop-file-validate "$desktop" &&
  appstreamcli validate --no-net --pedantic "$work/root/usr/share/metainfo/$id.metainfo.xml" ||
  fail "the packaged desktop entry or AppStream metadata does not validate"
# A user's PATH on Debian (/etc/profile) holds /usr/games, where the program is.
entry=$(grep -E '^(Exec|Icon)=' "$desktop" | paste -sd ' ')
[ "$entry" = "Exec=glitchforge Icon=$id" ] || fail "the desktop entry says $entry"
version=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$work/root/usr/games/glitchforge" --version) ||
  fail "--version without a display"
[ "$version" = "Glitchforge $(dpkg-deb -f "$deb" Version)" ] || fail "--version says: $version"
window_in_xvfb "$work" || fail "the packaged program"
echo "package: passed"
