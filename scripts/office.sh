#!/usr/bin/env bash
# Installs what is missing, builds, and runs the office: the demonstration office, headless
# for now, on a simulated booth controller (one client's call, settled with a receipt).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh default
echo
echo "== miradel --demo: a demonstration office on a simulated booth controller =="
./build/bin/miradel --demo
