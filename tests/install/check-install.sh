#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks the tree: every file in its place,
# the programs run from there with their own data, and the desktop files pass their validators.
set -euo pipefail
build=$1
version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "install_tree: $*" >&2; exit 1; }

DESTDIR="$tmp/stage" cmake --install "$build" --prefix /opt/korvel >/dev/null
# The prefix is moved once more, as a relocated installation: the programs find their data
# beside them and nothing of the build tree.
mv "$tmp/stage/opt/korvel" "$tmp/moved"
root=$tmp/moved

for f in bin/korvel-cli bin/korvel \
  share/applications/korvel.desktop share/mime/packages/korvel.xml share/thumbnailers/korvel.thumbnailer \
  share/icons/hicolor/scalable/apps/korvel.svg share/icons/hicolor/16x16/apps/korvel.png \
  share/icons/hicolor/48x48/apps/korvel.png share/icons/hicolor/256x256/apps/korvel.png \
  share/metainfo/io.korvel.Korvel.metainfo.xml share/man/man1/korvel.1.gz share/man/man1/korvel-cli.1.gz \
  share/bash-completion/completions/korvel-cli share/korvel/Samples/Starter.kvl share/korvel/Language/English.lan; do
  [ -e "$root/$f" ] || fail "missing $f"
done
if readelf -d "$root/bin/korvel-cli" | grep -E 'R(UN)?PATH' | grep -q "$build"; then
  fail "korvel-cli still points into the build tree"
fi

[ "$("$root/bin/korvel-cli" --version)" = "korvel-cli $version" ] || fail "korvel-cli --version"
[ "$("$root/bin/korvel" --version)" = "korvel $version" ] || fail "korvel --version"
"$root/bin/korvel" --help | grep -q -- --screenshot || fail "korvel --help"

export KORVEL_HOME="$tmp/home"
unset KORVEL_DATA
"$root/bin/korvel-cli" info "$root/share/korvel/Samples/Starter.kvl" >/dev/null || fail "info of an installed sample"
"$root/bin/korvel-cli" render "$root/share/korvel/Samples/Starter.kvl" -o "$tmp/starter.png" >/dev/null ||
  fail "render of an installed sample"
"$build/bin/korvel-cli" render "$root/share/korvel/Samples/Starter.kvl" -o "$tmp/reference.png" >/dev/null
cmp -s "$tmp/starter.png" "$tmp/reference.png" || fail "the installed program draws otherwise than the built one"

# The thumbnailer's command, as a file manager runs it.
exec_line=$(sed -n 's/^Exec=//p' "$root/share/thumbnailers/korvel.thumbnailer")
exec_line=${exec_line//%s/128}
exec_line=${exec_line//%i/$root/share/korvel/Samples/Starter.kvl}
exec_line=${exec_line//%o/$tmp/thumb.png}
PATH="$root/bin:$PATH" bash -c "$exec_line" >/dev/null || fail "thumbnailer command"
size=$(file "$tmp/thumb.png" | grep -o '[0-9]* x [0-9]*')
case "$size" in "128 x "* | *" x 128") ;; *) fail "thumbnail is $size, not 128 on its longer side" ;; esac

desktop-file-validate "$root/share/applications/korvel.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$root/share/metainfo/io.korvel.Korvel.metainfo.xml" >"$tmp/as.log" 2>&1 ||
  { cat "$tmp/as.log" >&2; fail "appstreamcli validate"; }
xmllint --noout "$root/share/mime/packages/korvel.xml" || fail "xmllint"
mkdir -p "$tmp/mime/packages"
cp "$root/share/mime/packages/korvel.xml" "$tmp/mime/packages/"
update-mime-database "$tmp/mime" >/dev/null 2>&1 || fail "update-mime-database"
[ -e "$tmp/mime/application/x-korvel-label.xml" ] || fail "the file type was not registered"
grep -q 'application/x-korvel-label' "$root/share/applications/korvel.desktop" || fail "desktop entry without the file type"
bash -n "$root/share/bash-completion/completions/korvel-cli" || fail "bash completion does not parse"
for page in korvel korvel-cli; do
  zcat "$root/share/man/man1/$page.1.gz" | grep -q "^\.TH" || fail "man page $page"
done
echo "install_tree: ok"
