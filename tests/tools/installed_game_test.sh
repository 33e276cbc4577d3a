#!/usr/bin/env bash
# The Debian packages of a build, made by CPack and unpacked into a scratch root: their control
# data (the libraries found, the service's maintainer scripts), and a short game through the
# installed server with the installed table client watching (installed_game_tests).
#   installed_game_test.sh BUILD DRIVER
set -euo pipefail
build=$1 driver=$2
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
if [ "$prefix" != /usr ]; then
    # The packages install under /usr with the service's files in /etc; a tree configured for
    # another prefix would make other ones. scripts/test's Release pass is configured for /usr.
    echo "installed_game: skipped: $build is configured for $prefix, the packages need /usr"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "installed_game: $*" >&2
    exit 1
}
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/packages" >"$work/cpack.out" 2>&1 ||
    { cat "$work/cpack.out" >&2; fail "cpack failed"; }
client=$(ls "$work"/packages/xqtable_*.deb)
server=$(ls "$work"/packages/xqtable-server_*.deb)
depends=$(dpkg-deb -f "$client" Depends)
for lib in libqt6widgets6 libqt6multimedia6 libqt6network6 fonts-wqy-zenhei; do
    [[ $depends == *"$lib"* ]] || fail "the client's package does not depend on $lib: $depends"
done
depends=$(dpkg-deb -f "$server" Depends)
for lib in libqt6network6 libqt6sql6 libqt6sql6-sqlite libsodium adduser; do
    [[ $depends == *"$lib"* ]] || fail "the server's package does not depend on $lib: $depends"
done
control=$(dpkg-deb --ctrl-tarfile "$server" | tar -t)
for f in postinst prerm postrm conffiles; do
    grep -qx "./$f" <<<"$control" || fail "the server's package has no $f"
done
for deb in "$client" "$server"; do dpkg-deb -x "$deb" "$work/root"; done
export XQ_INSTALLED_ROOT=$work/root
# The windows keep their tickets and settings in the user's folders: the test's own.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
export QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
"$driver"
echo "installed_game: the packages install and play"
