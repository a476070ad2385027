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

# Dates follow the C runtime's zone, and a machine without one takes it too.
export TZ=UTC LC_ALL=C
unset DISPLAYINFO_MACHINE DISPLAYINFO_INJECT_FAULT

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs displayinfo into $work/out; an exit status other than 0 means the
# output is not whole, so it stops the script.
run() {
  local status=0
  "$displayinfo" "$@" >"$work/out" 2>"$work/err" || status=$?
  if ((status != 0)); then
    echo "displayinfo $* exited with status $status:" >&2
    cat "$work/err" >&2
    exit 1
  fi
}

# Every machine with golden outputs, one "kind<TAB>path" a line: machine
# descriptions (--machine) and fixture file-system trees that the live Linux
# reader takes as its root (--system-root).
machines() {
  local dir
  {
    for dir in "${machine_dirs[@]}"; do
      find "$dir" -maxdepth 1 -name '*.json' -type f -printf 'machine\t%p\n'
    done
    for dir in "${root_dirs[@]}"; do
      find "$dir" -mindepth 1 -maxdepth 1 -type d -printf 'root\t%p\n'
    done
  } | LC_ALL=C sort -t$'\t' -k2
}

# The golden name of a machine, and the options that select it.
golden_name() {
  if [[ $1 == root ]]; then echo "sysfs-$(basename "$2")"; else basename "$2" .json; fi
}
select_options() {
  if [[ $1 == root ]]; then echo --system-root; else echo --machine; fi
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
  local kind machine name format expected option
  declare -A seen=()
  while IFS=$'\t' read -r kind machine; do
    name=$(golden_name "$kind" "$machine")
    option=$(select_options "$kind")
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
    if [[ $kind == root ]]; then
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
  local kind machine name format file
  mkdir "$work/new"
  while IFS=$'\t' read -r kind machine; do
    name=$(golden_name "$kind" "$machine")
    for format in "${formats[@]}"; do
      run "$(select_options "$kind")" "$machine" --format "$format"
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

# Alters a copy ($2) of the golden files and the README in one way ($1).
alter() {
  case $1 in
    changed) sed -i '3s/.*/changed/' "$2/golden/workstation.mof" ;;
    missing) rm "$2/golden/laptop.json" ;;
    orphan) cp "$2/golden/laptop.mof" "$2/golden/gone.mof" ;;
    stale-readme) sed -i 's/AdapterString = "NVIDIA/AdapterString = "ATI/' "$2/README.md" ;;
    no-excerpt) sed -i 's/^## What the demo shows$/## Demo/' "$2/README.md" ;;
  esac
}

# Each kind of staleness must make check fail and say why.
selftest() {
  local copy=$work/selftest faults=0 fault output
  local -A says=(
    [changed]='^@@ '
    [missing]='laptop.json is missing'
    [orphan]='gone.mof belongs to no machine'
    [stale-readme]='^-    AdapterString = "ATI'
    [no-excerpt]='has no ``` block'
  )
  for fault in changed missing orphan stale-readme no-excerpt; do
    rm -rf "$copy" && mkdir -p "$copy/golden"
    cp "$golden"/*.mof "$golden"/*.json "$copy/golden/"
    cp "$readme" "$copy/README.md"
    alter "$fault" "$copy"
    if output=$(GOLDEN_DIR=$copy/golden README=$copy/README.md bash "$0" check "$displayinfo" 2>&1)
    then
      echo "FAIL: check passed with the fault $fault"
      faults=$((faults + 1))
    elif ! grep -q -- "${says[$fault]}" <<<"$output"; then
      echo "FAIL: check with the fault $fault did not say /${says[$fault]}/:"
      echo "$output"
      faults=$((faults + 1))
    fi
  done
  if ((faults > 0)); then
    exit 1
  fi
  echo "check found each of the faults"
}

case $mode in
  check | outputs | readme)
    if [[ $mode != readme ]]; then
      check_machines
    fi
    if [[ $mode != outputs ]]; then
      check_readme
    fi
    if ((failures > 0)); then
      echo "$failures golden comparison(s) failed; if the new output is right, run scripts/update-golden.sh"
      exit 1
    fi
    echo "no differences"
    ;;
  update)
    update
    ;;
  selftest)
    selftest
    ;;
esac
