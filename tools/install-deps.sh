#!/usr/bin/env bash
# Usage: tools/install-deps.sh [LIST...]
# Installs the Debian packages named in the lists (by default debian-packages.txt
# beside this script) that are not yet installed; does nothing, and needs no
# network, when all of them are there.
set -euo pipefail

(($# > 0)) || set -- "$(dirname "$0")/debian-packages.txt"
missing=()
while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == installed ]] || missing+=("$pkg")
done < <(sed 's/#.*//; s/[[:space:]]//g' "$@")

if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo=()
if ((EUID != 0)); then
    sudo=(sudo)
fi

echo "Installing missing packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
