#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and nothing else;
# with --demo, only those that scripts/demo.sh needs to build displayinfo.
# As root it runs apt-get; otherwise it prints the command to run and stops.
# Everything it says goes to standard error.
set -euo pipefail

# displayinfo, the plug-in and the host core, built without tests.
demo_packages=(
  cmake g++ make
  libboost-dev
  nlohmann-json3-dev
  libcli11-dev
  pkg-config libpci-dev libdrm-dev
)
# The tests, the benchmarks, the Windows build under Wine, the packages and
# their checks.
test_packages=(
  libgtest-dev libgmock-dev
  libbenchmark-dev
  g++-mingw-w64-x86-64-posix
  wine64
  jq
  time
  clang-14 libclang-rt-14-dev
  edid-decode
  python3 python3-jsonschema
  dpkg-dev lintian
)

packages=("${demo_packages[@]}")
case "${1:-}" in
  --demo) ;;
  "") packages+=("${test_packages[@]}") ;;
  *) echo "usage: install-deps.sh [--demo]" >&2; exit 2 ;;
esac

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

echo "Installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq >&2
apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
