#!/usr/bin/env bash
# scripts/host and scripts/join on loopback: the host's window takes seat 0, the friend's the
# other, each with its own ticket. Runs on the offscreen platform with the tree under test.
set -euo pipefail
who=host_join
source "$(dirname "$0")/script_test_lib.sh"

setsid "$root/scripts/host" --listen 127.0.0.1 --name 主人 >"$work/host.out" 2>&1 &
groups+=($!)
# Generous waits: under a full parallel test run a sanitized client takes a while to start.
# The host prints the join command once its own window has sat down.
for _ in $(seq 1800); do grep -q 'scripts/join 127.0.0.1' "$work/host.out" && break; sleep 0.05; done
join=$(grep -o 'scripts/join 127.0.0.1 [0-9]*' "$work/host.out" | head -n 1)
log=$(sed -n 's/.*(log: \(.*\))$/\1/p' "$work/host.out" | head -n 1)
[ -n "$join" ] && [ -n "$log" ] || fail "the host printed no join command"
port=${join##* }

setsid "$root/scripts/join" 127.0.0.1 "$port" --name 朋友 >"$work/join.out" 2>&1 &
groups+=($!)
for _ in $(seq 1200); do
    grep -q 'login 主人 takes seat 0' "$log" 2>/dev/null &&
        grep -q 'login 朋友 takes seat 1' "$log" 2>/dev/null && break
    sleep 0.05
done
grep -q 'login 主人 takes seat 0' "$log" || fail "the host's window did not sit down"
grep -q 'login 朋友 takes seat 1' "$log" || fail "the friend's window did not sit down"

# The names a launch line cannot carry are refused with a word, before anything starts.
if "$root/scripts/join" 127.0.0.1 "$port" --name "朋 友" 2>"$work/bad.err"; then
    fail "a name with a blank was taken"
fi
grep -q 'has a blank in it' "$work/bad.err" || fail "no reason for the refused name"
# Ending the host's script (Ctrl+C in its terminal, say) ends its window and its server too.
host=${groups[0]}
window=$(pgrep -g "$host" -f 'hall/game/xqtable .* 主人 1$' | head -n 1)
server=$(pgrep -g "$host" -f 'hall/game/xqtable-server' | head -n 1)
[ -n "$window" ] && [ -n "$server" ] || fail "the host's window or server is not to be found"
kill -TERM "$host"
for _ in $(seq 200); do
    kill -0 "$window" 2>/dev/null || kill -0 "$server" 2>/dev/null || break
    sleep 0.05
done
! kill -0 "$window" 2>/dev/null || fail "the host's window outlived the host"
! kill -0 "$server" 2>/dev/null || fail "the host's server outlived the host"
echo "host_join: ok on port $port"
