#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal build with
# warnings as errors (build/), and an AddressSanitizer + UndefinedBehaviorSanitizer build
# (build/sanitize).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
jobs="$(nproc 2>/dev/null || echo 2)"
for preset in default sanitize; do
    echo "== $preset: build =="
    ./scripts/build.sh "$preset"
    echo "== $preset: tests =="
    ctest --preset "$preset" -j "$jobs"
done
