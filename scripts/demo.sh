#!/usr/bin/env bash
# Builds the host program and the plug-in for Linux and shows what the
# plug-in reports for the bundled example workstation.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target displayinfo -j"$(nproc)"
exec build/default/bin/displayinfo --machine examples/machines/workstation.json "$@"
