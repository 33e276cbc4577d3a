#!/usr/bin/env bash
# scripts/demo on the offscreen platform. With --human, closing either of its two windows (here:
# ending that window's program, as closing it does) ends the demo, the other window and the
# server; and ending the demo, in any of its forms, ends its windows and its server.
set -euo pipefail
who=demo_windows
source "$(dirname "$0")/script_test_lib.sh"

# Starts scripts/demo with the given options; sets `demo` (its process) and `log` (its server's).
start_demo() {
    # Emptied here first: the started script empties it only once it runs, and until then the
    # wait below would read the previous demo's line.
    : >"$work/demo.out"
    setsid "$root/scripts/demo" "$@" >"$work/demo.out" 2>&1 &
    demo=$!
    groups+=($demo)
    # Generous waits: under a full parallel test run a sanitized client takes a while to start.
    log=
    for _ in $(seq 1200); do
        log=$(sed -n 's/.*(log: \(.*\) while the demo runs)$/\1/p' "$work/demo.out" | head -n 1)
        [ -n "$log" ] && break
        sleep 0.05
    done
    [ -n "$log" ] || fail "the demo printed no server log"
}

for closed in 甲 对手; do
    start_demo --human --name 甲
    for _ in $(seq 1800); do
        grep -q 'login 甲 takes seat' "$log" 2>/dev/null &&
            grep -q 'login 对手 takes seat' "$log" 2>/dev/null && break
        sleep 0.05
    done
    grep -q 'login 对手 takes seat' "$log" || fail "the two windows did not sit down"

    mine=$(member "$demo" hall/game/xqtable " 甲 ")
    theirs=$(member "$demo" hall/game/xqtable " 对手 ")
    server=$(member "$demo" xqtable-server)
    [ -n "$mine" ] && [ -n "$theirs" ] && [ -n "$server" ] || fail "the demo's programs are not all there"
    if [ "$closed" = 甲 ]; then target=$mine other=$theirs; else target=$theirs other=$mine; fi

    kill -TERM "$target"
    for _ in $(seq 200); do ended "$demo" && ended "$other" && ended "$server" && break; sleep 0.05; done
    ended "$demo" || fail "closing $closed's window did not end the demo"
    ended "$other" || fail "closing $closed's window left the other window open"
    ended "$server" || fail "closing $closed's window left the server running"
    wait "$demo" 2>/dev/null || true
done
# Ending the demo itself (Ctrl+C in its terminal) ends its window and its server: a table against
# the computer, two tables, or the hall.
for mode in computer human hall; do
    args=(--name 甲)
    [ "$mode" = human ] && args+=(--human)
    [ "$mode" = hall ] && args+=(--hall)
    start_demo "${args[@]}"
    if [ "$mode" = hall ]; then
        for _ in $(seq 1800); do [ -n "$(member "$demo" hall/xqhall)" ] && break; sleep 0.05; done
        mine=$(member "$demo" hall/xqhall)
    else
        for _ in $(seq 1800); do grep -q 'login 甲 takes seat' "$log" 2>/dev/null && break; sleep 0.05; done
        grep -q 'login 甲 takes seat' "$log" || fail "the window did not sit down ($mode)"
        mine=$(member "$demo" hall/game/xqtable " 甲 ")
    fi
    server=$(member "$demo" xqtable-server)
    [ -n "$mine" ] && [ -n "$server" ] || fail "the demo's programs are not all there ($mode)"
    kill -TERM "$demo"
    for _ in $(seq 200); do ended "$demo" && ended "$mine" && ended "$server" && break; sleep 0.05; done
    ended "$demo" || fail "the demo did not end ($mode)"
    ended "$mine" || fail "ending the demo left its window open ($mode)"
    ended "$server" || fail "ending the demo left the server running ($mode)"
    wait "$demo" 2>/dev/null || true
done
echo "demo_windows: ok"
