#!/usr/bin/env bash
# Builds the .deb with CPack and checks its control data and file list.
set -euo pipefail
build=$1
version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "deb_package: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$tmp" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$tmp"/korvel_*.deb)
dpkg-deb -I "$deb" >"$tmp/info"
dpkg-deb -c "$deb" >"$tmp/files"

grep -q "^ Package: korvel$" "$tmp/info" || fail "package name"
grep -q "^ Version: $version" "$tmp/info" || fail "version"
depends=$(sed -n 's/^ Depends: //p' "$tmp/info")
# Computed by dpkg-shlibdeps: the libraries the programs link ...
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6sql6 libzint libcups2 libusb-1.0-0 libfreexl1 libc6; do
  echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib: $depends"
done
# ... and named: what Qt loads at run time.
echo "$depends" | grep -q "libqt6sql6-sqlite" || fail "Depends lacks the SQLite driver: $depends"

for f in ./usr/bin/korvel ./usr/bin/korvel-cli ./usr/share/applications/korvel.desktop \
  ./usr/share/mime/packages/korvel.xml ./usr/share/metainfo/io.korvel.Korvel.metainfo.xml \
  ./usr/share/icons/hicolor/scalable/apps/korvel.svg ./usr/share/man/man1/korvel-cli.1.gz \
  ./usr/share/bash-completion/completions/korvel-cli ./usr/share/thumbnailers/korvel.thumbnailer \
  ./usr/share/korvel/Samples/Starter.kvl; do
  grep -q " $f\$" "$tmp/files" || fail "the package lacks $f"
done
if grep -q "build/" "$tmp/files"; then fail "the package holds files of the build tree"; fi
echo "deb_package: ok ($deb)"
