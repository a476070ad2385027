#!/usr/bin/env bash
# Builds everything for both targets and runs the whole test suite: the Linux
# build, the same under AddressSanitizer and UndefinedBehaviorSanitizer, and
# the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs="$(nproc)"

for preset in default asan mingw; do
  echo "=== $preset ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
  ctest --preset "$preset"
done
