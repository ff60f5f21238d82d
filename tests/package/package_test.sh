#!/bin/sh
# Builds the Debian package of a build folder into a temporary folder, lists it, checks what it
# declares, unpacks it and runs the packaged game headless from the unpacked tree.
#   package_test.sh <build folder> <version> <app id>
set -eu
build=$1 version=$2 id=$3

if ! command -v dpkg-deb >/dev/null 2>&1; then
  echo "SKIPPED: dpkg-deb is missing, so no Debian package can be built here"
  exit 77
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

# gzip instead of xz: the same files, built faster.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/out" \
  -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; fail "cpack could not build the package"; }
deb=$(ls "$tmp"/out/duskwend_"$version"_*.deb 2>/dev/null) || fail "no duskwend_${version}_<arch>.deb"
echo "package: $(basename "$deb"), $(wc -c <"$deb") bytes"

dpkg-deb -c "$deb" | awk '{print $NF}' >"$tmp/list"
for f in ./usr/games/duskwend \
  ./usr/share/duskwend/Data/Maps.dat ./usr/share/duskwend/Data/tavern.bmp \
  ./usr/share/duskwend/Data/font.ttf ./usr/share/duskwend/Data/w1a.bmp \
  ./usr/share/applications/"$id".desktop ./usr/share/metainfo/"$id".metainfo.xml \
  ./usr/share/icons/hicolor/32x32/apps/duskwend.png ./usr/share/icons/hicolor/64x64/apps/duskwend.png \
  ./usr/share/icons/hicolor/128x128/apps/duskwend.png ./usr/share/icons/hicolor/256x256/apps/duskwend.png \
  ./usr/share/icons/hicolor/scalable/apps/duskwend.svg ./usr/share/man/man6/duskwend.6.gz \
  ./usr/share/doc/duskwend/copyright ./usr/share/doc/duskwend/changelog.gz; do
  grep -qxF "$f" "$tmp/list" || fail "the package lacks $f"
done
# A player's files never ship, whatever the build folder's Data holds.
if grep -E '/(Save|Savef|L1chr|Automap)\.dat$|settings\.ini$|/slots/' "$tmp/list"; then
  fail "the package carries a saved game"
fi

[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# Found by dpkg-shlibdeps from what the game links, so it names SDL's library packages.
for p in libc6 libsdl2-2.0-0 libsdl2-ttf-2.0-0 libsdl2-image-2.0-0; do
  echo "$depends" | grep -q "$p" || fail "Depends does not name $p"
done

dpkg-deb -x "$deb" "$tmp/root"
desktop="$tmp/root/usr/share/applications/$id.desktop"
grep -qx 'Icon=duskwend' "$desktop" || fail "the menu entry does not name its icon by name"
grep -qx 'Exec=duskwend' "$desktop" || fail "the menu entry does not start duskwend from the PATH"

# The unpacked game, started from another folder, finds its Data beside it and saves in the
# player's data folder.
game="$tmp/root/usr/games/duskwend"
mkdir "$tmp/elsewhere"
cd "$tmp/elsewhere"
[ "$("$game" --version)" = "duskwend $version" ] || fail "--version does not print $version"
XDG_DATA_HOME="$tmp/home-data" "$game" --headless --seed 1 --keys 'atax{backspace}xs' \
  --dump-text - >"$tmp/text" || fail "the packaged game did not run"
grep -q 'Game Saved' "$tmp/text" || { cat "$tmp/text"; fail "the packaged game did not save"; }
[ -f "$tmp/home-data/duskwend/Save.dat" ] || fail "the save is not in the player's data folder"
[ ! -e "$tmp/root/usr/share/duskwend/Data/Save.dat" ] || fail "the game saved into its Data"
[ -z "$(ls -A "$tmp/elsewhere")" ] || fail "the game wrote into the folder it was started from"

# Where lintian is present, the package has no errors.
if command -v lintian >/dev/null 2>&1; then
  status=0
  lintian --fail-on error "$deb" >"$tmp/lintian" 2>&1 || status=$?
  grep -v 'root privileges' "$tmp/lintian" || true
  [ "$status" -eq 0 ] || fail "lintian finds errors in the package"
else
  echo "lintian is missing: the package is not checked by it (scripts/install-deps)"
fi
echo "the package installs and runs"
