#!/usr/bin/env bash
# Installs what is missing, builds, and runs the most complete program Miradel has.
# Until the office program exists this is the controller frame tool, fed a sample of
# controller traffic so a newcomer sees the receiver at work.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh default
echo
echo "== miradel-frames: decoding a sample of controller traffic =="
./build/bin/miradel-frames tools/samples/controller-traffic.hex
echo
echo "== miradel-frames --encode \"3 4 2\" (connect line 4 with the microphone on) =="
./build/bin/miradel-frames --encode "3 4 2"
