#!/usr/bin/env bash
# Installs the Debian packages listed in debian-packages.txt that are not yet
# installed; does nothing (and needs no network) when all of them are there.
set -euo pipefail

list="$(dirname "$0")/debian-packages.txt"
missing=()
while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == installed ]] || missing+=("$pkg")
done < <(sed 's/#.*//; s/[[:space:]]//g' "$list")

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
