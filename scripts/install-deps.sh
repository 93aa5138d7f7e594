#!/usr/bin/env bash
# Installs the Debian 12 packages Miradel needs to build and test. Safe to run again:
# apt-get skips what is already there, and the package lists are refreshed only when
# something is missing.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    libfmt-dev
    libsqlite3-dev libsqlitecpp-dev sqlite3
    libgtest-dev libgmock-dev libbenchmark-dev
    libcups2-dev
    clang-format
    qt6-base-dev
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all packages present"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
