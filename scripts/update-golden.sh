#!/usr/bin/env bash
# Rewrites the golden outputs in tests/golden/ and the demo excerpt in
# README.md from what displayinfo prints now. Builds build/default first;
# with --no-build it uses the displayinfo already there.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ ${1:-} != --no-build ]]; then
  cmake --preset default >/dev/null
  cmake --build --preset default --target displayinfo -j"$(nproc)"
fi
exec bash tests/golden/golden.sh update build/default/bin/displayinfo
