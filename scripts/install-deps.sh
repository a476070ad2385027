#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and nothing else.
# As root it runs apt-get; otherwise it prints the command to run and stops.
set -euo pipefail

packages=(
  cmake g++ make
  libboost-dev
  libgtest-dev libgmock-dev
  libbenchmark-dev
  nlohmann-json3-dev
  libcli11-dev
  g++-mingw-w64-x86-64-posix
  wine64
  jq
  time
  clang-14 libclang-rt-14-dev
  edid-decode
  dpkg-dev lintian
  pkg-config libpci-dev libdrm-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Run as root: apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
