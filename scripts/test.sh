#!/usr/bin/env bash
# Builds everything for both targets and runs the whole test suite: the Linux
# build (with the layer check and a plug-in built against the installed host
# SDK), a clang build that must compile without warnings, the Linux build under
# AddressSanitizer and UndefinedBehaviorSanitizer, the request tests under
# ThreadSanitizer, the Windows build under Wine, and the Linux package of a
# release build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs="$(nproc)"

for preset in default clang asan tsan mingw; do
  echo "=== $preset ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
  # The clang build only has to compile; its tests are the same as default's.
  if [ "$preset" != clang ]; then
    ctest --preset "$preset"
  fi
done

# The .deb is made of a release build, which its test needs and nothing more.
echo "=== release (package) ==="
cmake --preset release >/dev/null
cmake --build --preset release --target displayinfo -j"$jobs"
ctest --preset release -R '^package$'
