#!/usr/bin/env bash
# Builds the machine generator (tools/machinegen) in the default preset and
# rewrites the example machines in examples/machines with it. Run it after
# changing the generator and commit the JSON files it writes; the test
# ExampleMachines.GeneratorWritesTheCheckedInFilesByteForByte fails until
# they match.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target generate_machines >/dev/null
build/default/bin/generate_machines examples/machines
git status --short examples/machines 2>/dev/null || true
