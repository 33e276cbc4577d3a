#!/usr/bin/env bash
# The install rules, into a scratch root: the commands in bin/ reach the programs in the tree
# the build lays out (through their links, or the script that starts a game against the
# computer), the pictures and sounds are beside them, and the desktop entries and the AppStream
# data pass their validators.
set -euo pipefail
build=$1 version=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
bin=$root/usr/bin
game=$root/usr/libexec/xqtable/hall/game
for p in xqhall xqtable xqtable-server xqrecord xqperft xqtable-computer; do
    out=$(env -u DISPLAY "$bin/$p" --version)
    [ "$out" = "$p $version" ] || { echo "$p --version: '$out'" >&2; exit 1; }
done
for f in "$game/Res" "$game/Sound" "$game/launch-token" "$root/usr/libexec/xqtable/hall/res" \
         "$root/usr/libexec/xqtable/hall/UserRes" \
         "$root/usr/share/icons/hicolor/256x256/apps/xqtable.png" \
         "$root/usr/lib/systemd/system/xqtable-server.service"; do
    [ -e "$f" ] || { echo "missing: $f" >&2; exit 1; }
done
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
echo "install tree: all in place"
