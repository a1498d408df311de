#!/usr/bin/env bash
# Usage: tools/install-deps.sh [LIST...]
# Installs the Debian packages named in the lists (by default run-packages.txt
# and test-packages.txt beside this script) that are not yet installed; does
# nothing, and needs no network, when all of them are there. Waits for another
# apt or dpkg run to finish rather than failing.
set -euo pipefail

here=$(dirname "$0")
(($# > 0)) || set -- "$here/run-packages.txt" "$here/test-packages.txt"
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
# apt-get update takes the package lists' lock without waiting for it, the
# install waits for dpkg's.
waits=0
until output=$("${sudo[@]}" apt-get update -q 2>&1); do
    if [[ $output != *"Could not get lock"* ]] || ((++waits > 60)); then
        echo "$output" >&2
        exit 1
    fi
    echo "Another apt run holds the package lists; waiting"
    sleep 10
done
echo "$output"
"${sudo[@]}" apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}"
