#!/usr/bin/env bash
# Checks that the sysfs fixture trees beside this script are exactly what
# build-fixtures.py writes: it writes them again into a temporary folder, and
# any tree, file, link or link target that differs, or a tree the script no
# longer writes, fails the check with a diff.
set -euo pipefail
dir=$(cd "$(dirname "$0")" && pwd -P)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 "$dir/build-fixtures.py" --out "$work"
trees() { find "$1" -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | LC_ALL=C sort; }
status=0
if ! diff -u --label "checked-in trees" --label "written trees" <(trees "$dir") <(trees "$work"); then
  echo "FAIL: the fixture trees are not those build-fixtures.py writes"
  status=1
fi
for tree in $(trees "$work"); do
  if [[ -d $dir/$tree ]] && ! diff -r --no-dereference "$dir/$tree" "$work/$tree"; then
    echo "FAIL: $tree differs from what build-fixtures.py writes (diff above);" \
      "run python3 tests/data/sysfs/build-fixtures.py"
    status=1
  fi
done
exit $status
