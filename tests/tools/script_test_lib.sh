# Shared by the tests of the launch scripts: each script under test runs in a process group of its
# own, and everything left of them is ended when the test exits. Sourced, not run; the caller
# sets `who` (its name in messages) first.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
# The windows keep their tickets in the user's config folder: the test's own, not the tester's.
export XDG_CONFIG_HOME="$work/config"
groups=()
finish() {
    for g in "${groups[@]}"; do kill -- "-$g" 2>/dev/null || true; done
    sleep 0.2
    for g in "${groups[@]}"; do kill -9 -- "-$g" 2>/dev/null || true; done
    rm -rf "$work"
}
trap finish EXIT

# Says what went wrong with what the scripts printed (and the server's log, if known), and fails.
fail() {
    echo "$who: $*" >&2
    cat "$work"/*.out >&2 || true
    [ -n "${log:-}" ] && cat "$log" >&2
    exit 1
}

# Gone, or left for the system to reap.
ended() {
    [ ! -e "/proc/$1" ] || [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" = Z ]
}

# The process of group $1 whose command line holds all the other words.
member() {
    local group=$1
    shift
    local pid args word all
    while read -r pid args; do
        all=1
        for word in "$@"; do [[ "$args" == *"$word"* ]] || all=0; done
        if [ "$all" = 1 ]; then
            echo "$pid"
            return 0
        fi
    done < <(ps -o pid=,args= -g "$group" || true)
}
