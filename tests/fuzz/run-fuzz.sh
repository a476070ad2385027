#!/usr/bin/env bash
# Runs one fuzz target for a bounded time: configures the "fuzz" preset
# (clang++-14) in BUILD_DIR, builds the target and runs it from its seed
# corpus in tests/fuzz/seeds/<target>/.
#
# Usage: run-fuzz.sh TARGET [SECONDS [BUILD_DIR]]
#   TARGET: edid, registry, device_id_list, machine_description or sysfs (a
#           trailing "_fuzz" is accepted too); SECONDS defaults to 30;
#           BUILD_DIR to build/fuzz (a build's tests pass a folder of its own).
# Exits 77 (skipped) when clang++-14 is not installed, 1 when the fuzzer finds
# a fault; what it found is kept in BUILD_DIR/<target>-artifacts.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 3 ]; then
  echo "usage: run-fuzz.sh TARGET [SECONDS [BUILD_DIR]]" >&2
  exit 2
fi
name="${1%_fuzz}"
seconds="${2:-30}"
source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build_dir="$(realpath -m "${3:-$source_dir/build/fuzz}")"
fuzz_dir="$source_dir/tests/fuzz"

# The largest input each target reads.
case "$name" in
  edid) max_len=2049 ;;                  # a control byte and a block of up to 2048 bytes
  registry) max_len=4096 ;;
  device_id_list) max_len=4096 ;;
  machine_description) max_len=16384 ;;
  sysfs) max_len=65 ;;                   # a fixture byte and up to 16 damages of 4 bytes
  *)
    echo "run-fuzz: unknown target \"$1\"" >&2
    exit 2
    ;;
esac

if ! command -v clang++-14 >/dev/null 2>&1; then
  echo "run-fuzz: clang++-14 not found, skipping" >&2
  exit 77
fi

cd "$source_dir"
cmake --preset fuzz -B "$build_dir" >/dev/null
cmake --build "$build_dir" --target "${name}_fuzz" -j2

# Seeds are kept as text. A .hex seed is pairs of hexadecimal digits (blanks
# and "#" comments ignored) and becomes those bytes; any other seed is used
# as it is. libFuzzer works on, and adds to, a copy inside the build tree.
corpus="$build_dir/$name-corpus"
artifacts="$build_dir/$name-artifacts"
mkdir -p "$corpus" "$artifacts"
for seed in "$fuzz_dir/seeds/$name"/*; do
  base="$(basename "$seed")"
  case "$seed" in
    *.hex)
      printf '%b' "$(sed 's/#.*//' "$seed" | tr -d ' \t\n' | sed 's/../\\x&/g')" \
        >"$corpus/${base%.hex}"
      ;;
    *) cp "$seed" "$corpus/$base" ;;
  esac
done

options=(-max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048
  -print_final_stats=1 -artifact_prefix="$artifacts/")
if [ -f "$fuzz_dir/$name.dict" ]; then
  options+=(-dict="$fuzz_dir/$name.dict")
fi
# Targets that make huge allocations fail on purpose get one sanitizer warning
# per failed allocation; those lines are dropped, everything else is shown.
set +e
"$build_dir/bin/${name}_fuzz" "${options[@]}" "$corpus" 2>&1 |
  grep -v '^==[0-9]*==WARNING: AddressSanitizer failed to allocate 0x[0-9a-f]* bytes$'
status=${PIPESTATUS[0]}
# libFuzzer exits with 77 when it finds a fault, which would read as
# "skipped" here; every failure becomes 1.
if [ "$status" -ne 0 ]; then
  echo "run-fuzz: ${name}_fuzz failed (status $status); inputs are in $artifacts" >&2
  exit 1
fi
