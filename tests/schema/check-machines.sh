#!/usr/bin/env bash
# Every machine description the project has or writes is valid against the
# published schema (examples/machines/machine-description.schema.json): the
# examples, the test machines, the benchmarks' generated machines and the
# capture of every sysfs fixture tree; and mistakes planted in an example are
# refused, so that the schema says something.
#
# Usage: check-machines.sh DISPLAYINFO GENERATE_MACHINES
set -euo pipefail
displayinfo=$1
generate=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
schema=$root/examples/machines/machine-description.schema.json
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Debian's python3-jsonschema lives beside Debian's own Python, which another
# Python earlier on PATH may not see.
python=/usr/bin/python3

files=()
for file in "$root"/examples/machines/*.json "$root"/tests/data/machines/*.json; do
  [[ $file == "$schema" ]] || files+=("$file")
done
for size in "1 3" "16 100" "64 1000"; do
  set -- $size
  "$generate" --bench "$1" "$2" "$work/bench-$1-$2.json"
  files+=("$work/bench-$1-$2.json")
done
for tree in "$root"/tests/data/sysfs/*/; do
  name=$(basename "$tree")
  # Some trees are damaged on purpose; their messages are not the point here.
  if ! "$displayinfo" --system-root "$tree" --capture "$work/capture-$name.json" 2>"$work/err"; then
    echo "FAIL: capturing $name failed:"; cat "$work/err"; exit 1
  fi
  files+=("$work/capture-$name.json")
done

status=0
"$python" "$root/tests/schema/validate.py" "$schema" "${files[@]}" || status=1
"$python" "$root/tests/schema/validate.py" --planted "$schema" \
  "$root/examples/machines/workstation.json" || status=1
[[ $status == 0 ]] && echo "${#files[@]} machine descriptions are valid; every planted mistake is refused"
exit $status
