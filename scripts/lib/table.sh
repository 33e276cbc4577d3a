# Shared by scripts/demo, scripts/host and scripts/join: the run-time build, names and the launch
# line of the table client. Sourced, not run.

xq_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# XQ_BUILD_DIR runs another build's tree (the tests use their own), XQ_NO_BUILD=1 takes it as it is.
xq_build="${XQ_BUILD_DIR:-$xq_root/build}"
xq_game="$xq_build/hall/game"
xq_levels='长工_100`短工_200`佃农_500`贫农_1000`中农_2000`富农_4000`地主_8000`恶霸_12000'

# The comment block at the top of the calling script, without its "# ".
xq_help() {
    sed -n '2,/^[^#]/{/^#/!d;s/^# \{0,1\}//;p}' "$1"
}

# A name the launch line can carry and the server takes: 1 to 32 characters, no blanks or tabs
# (the line is split at them), no "`" (the protocol's separator), no control characters.
xq_check_name() {
    local name=$1 who=$2
    if [ -z "$name" ]; then
        echo "$who: the name is empty" >&2
        return 1
    fi
    if [[ "$name" =~ [[:space:]] ]]; then
        echo "$who: the name '$name' has a blank in it; the hall's launch line splits words at blanks, so a table name cannot have one (try '${name//[[:space:]]/_}')" >&2
        return 1
    fi
    if [[ "$name" == *'`'* ]] || [[ "$name" =~ [[:cntrl:]] ]]; then
        echo "$who: the name '$name' has a character a table name cannot have (\` or a control character)" >&2
        return 1
    fi
    if [ "${#name}" -gt 32 ]; then
        echo "$who: the name '$name' is longer than 32 characters" >&2
        return 1
    fi
}

# A window needs a screen: a desktop session, Xvfb, or Qt's offscreen platform.
xq_need_display() {
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] &&
        [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
        echo "$1: no display: run it in a desktop session (or under Xvfb with DISPLAY set)" >&2
        return 1
    fi
}

# Installs what is missing and builds what a game needs (and the targets named after the
# caller's name), unless told to use a ready tree.
xq_prepare() {
    [ "${XQ_NO_BUILD:-0}" = 1 ] && return 0
    "$xq_root/scripts/setup"
    xq_build_runtime "$@"
}

# Waits for the server started in folder $1 to print its port; prints it.
xq_wait_port() {
    local work=$1 who=$2 port=
    for _ in $(seq 100); do
        grep -q '^port ' "$work/server.out" 2>/dev/null && break
        sleep 0.05
    done
    port=$(sed -n 's/^port //p' "$work/server.out" | head -n 1)
    if [ -z "$port" ]; then
        echo "$who: the server did not start:" >&2
        cat "$work/server.log" >&2
        return 1
    fi
    echo "$port"
}

# Builds only what a game needs (the client, the server and the skins, and what else is named),
# with its progress shown.
xq_build_runtime() {
    local dir="$xq_build" who=$1
    shift
    if [ ! -x "$xq_game/xqtable" ]; then
        echo "$who: first build of the client, the server and the skins: about 4 minutes on a" \
             "2-core machine (later runs build only what changed)"
    fi
    cmake -S "$xq_root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$dir" --target xqtable xqtable-server skins "$@"
}

# The hall program's command line in xq_hall_line: pointed at a room server at $1:$2, for the user
# named $3.
xq_hall_argv() {
    xq_hall_line=("$xq_build/hall/xqhall" --server "$1:$2" --name "$3" --table-client "$xq_game/xqtable")
}

# The table client's launch line with the nine words a game hall hands it: the token, the
# server's address and port, the game's name, the level titles, "-" for the ticket (the client
# then uses the one it keeps for this name at this server, so that a window started again comes
# back to its seat), an unused word, the user's name and the scoring mode. Left in the array xq_table_line, so that a caller can start
# it in the background as a process of its own, whose id it can wait for and end.
xq_table_argv() {
    local name=$1 host=$2 port=$3
    xq_table_line=("$xq_game/xqtable" "$(cat "$xq_build/launch-token")" "$host" "$port" "中国象棋"
        "$xq_levels" - - "$name" 1)
}

# The table client for user $1 at the server $2:$3, until its window closes.
xq_table() {
    xq_table_argv "$@"
    "${xq_table_line[@]}"
}
