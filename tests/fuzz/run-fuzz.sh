#!/usr/bin/env bash
# Fuzzes the EDID decoder for a bounded time: configures the "fuzz" preset
# (clang++-14) in build/fuzz, builds edid_fuzz and runs it from the seed
# corpus. Usage: run-fuzz.sh [seconds, default 30]. Exits 77 (skipped) when
# clang++-14 is not installed, non-zero when the fuzzer finds a fault.
set -euo pipefail

seconds="${1:-30}"
source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build_dir="$source_dir/build/fuzz"

if ! command -v clang++-14 >/dev/null 2>&1; then
  echo "run-fuzz: clang++-14 not found, skipping" >&2
  exit 77
fi

cd "$source_dir"
cmake --preset fuzz >/dev/null
cmake --build "$build_dir" --target edid_fuzz -j2

# The seeds are kept as hex text (a control byte, then the block); libFuzzer
# works on, and adds to, a binary copy inside the build tree.
corpus="$build_dir/edid-corpus"
artifacts="$build_dir/edid-artifacts"
mkdir -p "$corpus" "$artifacts"
for seed in "$source_dir"/tests/fuzz/seeds/*.hex; do
  printf '%b' "$(tr -d ' \n' <"$seed" | sed 's/../\\x&/g')" >"$corpus/$(basename "$seed" .hex)"
done

# One control byte plus a block of up to 2048 bytes.
"$build_dir/bin/edid_fuzz" -max_total_time="$seconds" -max_len=2049 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus"
