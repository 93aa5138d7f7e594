#!/usr/bin/env bash
# A scripted call in real time over a real pseudo-terminal: the booth controller simulator
# and the controller link run as two processes. The call must arrive as booth events in
# order, and the simulator must see every message confirmed (it exits 3 otherwise).
set -euo pipefail
kabsim="$1"
link="$2"
work="$(mktemp -d)"
trap 'kill "$sim" 2>/dev/null || true; rm -rf "$work"' EXIT

cat > "$work/call.kab" <<'SCRIPT'
at 0.5 line 3 lift
line 3 dial 5551234 pace 0.3
line 3 answer after 1
line 3 talk 20
line 3 hangup
wait 1
SCRIPT

"$kabsim" --pty --wait-start --script "$work/call.kab" > "$work/kabsim.out" 2>&1 &
sim=$!
for _ in $(seq 100); do
    grep -q '^PTY ' "$work/kabsim.out" 2>/dev/null && break
    sleep 0.05
done
pty="$(sed -n 's/^PTY //p' "$work/kabsim.out" | head -n 1)"
[ -n "$pty" ] || { echo "simulator gave no pty"; cat "$work/kabsim.out"; exit 1; }

"$link" --device "$pty" --seconds 27 > "$work/link.out"
status=0
wait "$sim" || status=$?

grep '^booth ' "$work/link.out" > "$work/events" || true
cat > "$work/expected" <<'EVENTS'
booth 3: event 2
booth 3: event 3 5
booth 3: event 3 5
booth 3: event 3 5
booth 3: event 3 1
booth 3: event 3 2
booth 3: event 3 3
booth 3: event 3 4
booth 3: event 4
booth 3: event 5
EVENTS
if ! diff -u "$work/expected" "$work/events"; then
    cat "$work/link.out"
    exit 1
fi
if [ "$status" -ne 0 ]; then
    echo "simulator exit status $status (3: a message was never confirmed)"
    cat "$work/kabsim.out"
    exit 1
fi
grep -E '^(cpu|confirmations):' "$work/link.out"
echo "pty call: 10 events in order, every message confirmed"
