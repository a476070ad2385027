#!/usr/bin/env bash
# The complete output of displayinfo for every machine description, kept as
# NAME.mof and NAME.json beside this script for the machine NAME.json, and the
# demo excerpt in README.md ("What the demo shows").
#
#   golden.sh check DISPLAYINFO     compare both with what DISPLAYINFO prints
#   golden.sh outputs|readme DISPLAYINFO   compare only the one or the other
#   golden.sh update DISPLAYINFO    rewrite both from what DISPLAYINFO prints
#   golden.sh selftest DISPLAYINFO  show that check finds stale and missing files
#
# GOLDEN_DIR and README name other places for both (the self-test uses this).
set -euo pipefail

mode=${1:-}
displayinfo=${2:-}
if [[ ! $mode =~ ^(check|outputs|readme|update|selftest)$ || -z $displayinfo ]]; then
  echo "usage: $0 check|outputs|readme|update|selftest DISPLAYINFO" >&2
  exit 2
fi
if [[ ! -x $displayinfo ]]; then
  echo "$0: $displayinfo is not an executable program; build displayinfo first" >&2
  exit 1
fi
displayinfo=$(cd "$(dirname "$displayinfo")" && pwd)/$(basename "$displayinfo")

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
golden=${GOLDEN_DIR:-$here}
readme=${README:-$root/README.md}
# The folders whose machines have golden outputs: a machine added to one
# needs nothing but its golden files, which update writes. tests/data/machines
# holds the machine of 150 real monitors' EDID blocks.
machine_dirs=("$root/examples/machines" "$root/tests/data/machines")
root_dirs=("$root/tests/data/sysfs")
demo_machine=$root/examples/machines/workstation.json
demo_class=ORNSG_VideoController
formats=(mof json)

# A description carries its own zone; a live fixture tree takes the zone of
# the process that reads it, as a live machine does.
export TZ=UTC LC_ALL=C
unset DISPLAYINFO_MACHINE DISPLAYINFO_INJECT_FAULT

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs displayinfo into $work/out; an exit status other than 0 means the
# output is not whole, so it stops the script.
run() {
  "$displayinfo" "$@" >"$work/out" 2>"$work/err" && return
  echo "displayinfo $* exited with status $?:" >&2
  cat "$work/err" >&2
  exit 1
}

# Every machine with golden outputs, one "option<TAB>golden name<TAB>path" a
# line: machine descriptions (--machine, named as the file) and fixture
# file-system trees that the live Linux reader takes as its root
# (--system-root, named sysfs-DIR).
machines() {
  {
    find "${machine_dirs[@]}" -maxdepth 1 -name '*.json' ! -name '*.schema.json' -type f \
      -printf '--machine\t%f\t%p\n' |
      sed 's/\.json\t/\t/'
    find "${root_dirs[@]}" -mindepth 1 -maxdepth 1 -type d -printf '--system-root\tsysfs-%f\t%p\n'
  } | LC_ALL=C sort -t$'\t' -k3
}

# The lines between the first pair of ``` fences after the demo heading.
demo_excerpt() {
  awk '/^## What the demo shows$/ { section = 1; next }
       /^## / { section = 0 }
       section && /^```$/ { if (inside) exit; inside = 1; next }
       inside { print }' "$1"
}

# The program's output as the README shows it: without the blank line that
# ends the last instance.
demo_output() {
  run --machine "$demo_machine" "$demo_class"
  awk '/^$/ { blanks++; next } { while (blanks) { print ""; blanks-- } print }' "$work/out" \
    >"$work/demo"
}

# README.md with the demo excerpt replaced by the file $2.
replace_demo_excerpt() {
  awk -v excerpt="$2" '
       /^## What the demo shows$/ { section = 1 }
       /^## / && !/^## What the demo shows$/ { section = 0 }
       section && !done && /^```$/ {
         if (inside) { while ((getline line < excerpt) > 0) print line; inside = 0; done = 1 }
         else { inside = 1; print; next }
       }
       !inside { print }' "$1"
}

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

check_machines() {
  local option name machine format expected
  declare -A seen=()
  while IFS=$'\t' read -r option name machine; do
    if [[ -n ${seen[$name]:-} ]]; then
      fail "$machine and ${seen[$name]} would share the golden files $name.*; rename one"
      continue
    fi
    seen[$name]=$machine
    for format in "${formats[@]}"; do
      expected=$golden/$name.$format
      run "$option" "$machine" --format "$format"
      if [[ ! -f $expected ]]; then
        fail "$expected is missing for $machine"
      elif ! diff -u --label "$expected" --label "displayinfo $option $machine --format $format" \
          "$expected" "$work/out"; then
        fail "$expected differs from the output for $machine (diff above)"
      fi
    done
    # A live machine written down with --capture replays as it ran.
    if [[ $option == --system-root ]]; then
      run --system-root "$machine" --capture "$work/capture.json"
      for format in "${formats[@]}"; do
        run --machine "$work/capture.json" --format "$format"
        if ! diff -u --label "$golden/$name.$format" --label "replay of its capture" \
            "$golden/$name.$format" "$work/out"; then
          fail "the capture of $machine does not replay as the live run (diff above)"
        fi
      done
    fi
  done < <(machines)
  for expected in "$golden"/*.mof "$golden"/*.json; do
    [[ -e $expected ]] || continue
    name=$(basename "$expected")
    if [[ -z ${seen[${name%.*}]:-} ]]; then
      fail "$expected belongs to no machine in ${machine_dirs[*]} ${root_dirs[*]}"
    fi
  done
}

check_readme() {
  demo_excerpt "$readme" >"$work/excerpt"
  if [[ ! -s $work/excerpt ]]; then
    fail "$readme has no \`\`\` block in the section \"What the demo shows\""
    return
  fi
  demo_output
  if ! diff -u --label "$readme (What the demo shows)" \
      --label "displayinfo --machine $demo_machine $demo_class" "$work/excerpt" "$work/demo"; then
    fail "the demo excerpt in $readme differs from the program's output (diff above)"
  fi
}

# Writes everything aside first, so that a failing run changes nothing.
update() {
  local option name machine format file
  mkdir "$work/new"
  while IFS=$'\t' read -r option name machine; do
    for format in "${formats[@]}"; do
      run "$option" "$machine" --format "$format"
      mv "$work/out" "$work/new/$name.$format"
    done
  done < <(machines)
  if ! compgen -G "$work/new/*" >/dev/null; then
    echo "$0: no machines found; nothing rewritten" >&2
    exit 1
  fi
  demo_output
  replace_demo_excerpt "$readme" "$work/demo" >"$work/readme"

  rm -f "$golden"/*.mof "$golden"/*.json
  for file in "$work/new"/*; do
    mv "$file" "$golden/"
    echo "wrote $golden/$(basename "$file")"
  done
  if ! cmp -s "$work/readme" "$readme"; then
    cat "$work/readme" >"$readme"
    echo "rewrote the demo excerpt in $readme"
  fi
}

# Each kind of staleness must make check fail and say why: "fault|what check
# says|how a copy of the golden files and the README is altered".
selftest() {
  local copy=$work/selftest fault says alteration output
  while IFS='|' read -r fault says alteration; do
    rm -rf "$copy" && mkdir -p "$copy/golden"
    cp "$golden"/*.mof "$golden"/*.json "$copy/golden/" && cp "$readme" "$copy/README.md"
    (cd "$copy" && eval "$alteration")
    if output=$(GOLDEN_DIR=$copy/golden README=$copy/README.md bash "$0" check "$displayinfo" \
        </dev/null 2>&1); then
      fail "check passed with the fault $fault"
    elif ! grep -q -- "$says" <<<"$output"; then
      fail "check with the fault $fault did not say /$says/:"$'\n'"$output"
    fi
  done <<'EOF'
changed|^@@ |sed -i '3s/.*/changed/' golden/workstation.mof
missing|laptop.json is missing|rm golden/laptop.json
orphan|gone.mof belongs to no machine|cp golden/laptop.mof golden/gone.mof
stale-readme|^-    AdapterString = "ATI|sed -i 's/AdapterString = "NVIDIA/AdapterString = "ATI/' README.md
no-excerpt|has no ``` block|sed -i 's/^## What the demo shows$/## Demo/' README.md
EOF
  ((failures == 0)) || exit 1
  echo "check found each of the faults"
}

case $mode in
  check | outputs | readme)
    [[ $mode == readme ]] || check_machines
    [[ $mode == outputs ]] || check_readme
    if ((failures > 0)); then
      echo "$failures golden comparison(s) failed; if the new output is right, run scripts/update-golden.sh"
      exit 1
    fi
    echo "no differences"
    ;;
  update) update ;;
  selftest) selftest ;;
esac
