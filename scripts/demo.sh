#!/usr/bin/env bash
# Builds the host program and the plug-in for Linux (a release build without
# tests, in build/demo) and shows what the plug-in reports for the bundled
# example workstation. Standard output is displayinfo's alone: everything the
# set-up says goes to standard error.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --demo
{
  cmake --preset release -B build/demo -DDISPLAYINFO_TESTS=OFF -DDISPLAYINFO_BENCHMARKS=OFF
  cmake --build build/demo --target displayinfo -j"$(nproc)"
} >&2
exec build/demo/bin/displayinfo --machine examples/machines/workstation.json "$@"
