#!/usr/bin/env bash
# Checks the symbolic links of the sysfs fixture trees beside this script:
# each is relative, resolves, and stays inside its own fixture.
# Prints each offending link and exits 1 if there is one.
set -euo pipefail
dir=$(cd "$(dirname "$0")" && pwd -P)
status=0
while IFS= read -r -d '' link; do
  rel=${link#"$dir"/}
  fixture=$dir/${rel%%/*}
  target=$(readlink "$link")
  if [[ $target == /* ]]; then
    echo "absolute link: $rel -> $target"; status=1; continue
  fi
  if [[ ! -e $link ]]; then
    echo "dangling link: $rel -> $target"; status=1; continue
  fi
  resolved=$(realpath "$link")
  if [[ $resolved != "$fixture"/* ]]; then
    echo "link leaves its fixture: $rel -> $target"; status=1
  fi
done < <(find "$dir" -type l -print0)
exit $status
