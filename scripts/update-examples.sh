#!/usr/bin/env bash
# Builds the machine generator (tools/machinegen) in the default preset and
# rewrites the machines it makes: the example machines in examples/machines
# and the machine of real monitors, tests/data/machines/real-monitors.json,
# from the EDID blocks in tests/data/edid-samples. Run it after changing the
# generator and commit the JSON files it writes; the machinegen tests
# (ExampleMachines.GeneratorWritesTheCheckedInFilesByteForByte and
# RealMonitorMachine.GeneratorWritesTheCheckedInFileByteForByte) fail until
# they match. Golden outputs follow with scripts/update-golden.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target generate_machines >/dev/null
build/default/bin/generate_machines examples/machines
mkdir -p tests/data/machines
build/default/bin/generate_machines --real-monitors tests/data/edid-samples \
  tests/data/machines/real-monitors.json
git status --short examples/machines tests/data/machines 2>/dev/null || true
