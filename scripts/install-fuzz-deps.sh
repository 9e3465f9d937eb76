#!/usr/bin/env bash
# Installs the Debian 12 packages the fuzz build needs beyond the ordinary
# ones: clang and its runtime libraries (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer), only those missing.
set -euo pipefail

packages=(clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
