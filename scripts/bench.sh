#!/usr/bin/env bash
# Builds the release preset and prints one table of the benchmark figures:
# for each generated machine (monitors / present devices) the time of one
# request for all eight classes, per monitor, the floor (the platform calls
# alone that such a request makes) and the ratio of the two; the time to
# decode one EDID block; and the peak memory of displayinfo on the largest
# machine. Extra arguments go to the benchmark program (for example
# --benchmark_repetitions=5 on a busy machine).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)" \
  --target displayinfo_bench generate_machines displayinfo displaycollector >/dev/null

out=build/release/bench-results
mkdir -p "$out"
# Three runs of each benchmark, of which the fastest counts: other work on
# the machine only ever adds time.
build/release/bin/displayinfo_bench --benchmark_filter='^BM_(Request|Floor|DecodeEdid)' \
  --benchmark_repetitions=3 \
  --benchmark_out="$out/results.json" --benchmark_out_format=json "$@" >"$out/bench.log" 2>&1

# The largest machine, through the host program as a user runs it.
largest_monitors=64
largest_devices=10000
build/release/bin/generate_machines --bench "$largest_monitors" "$largest_devices" "$out/largest-machine.json"
/usr/bin/time -v -o "$out/time.txt" build/release/bin/displayinfo \
  --machine "$out/largest-machine.json" --format json >/dev/null 2>"$out/displayinfo.err"
peak_kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$out/time.txt")

cpu="$(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo), $(nproc) cores"

# CPU time per iteration (of the fastest run), by benchmark and machine.
jq -r '[.benchmarks[] | select(.run_type == "iteration")] | group_by(.run_name) |
       map(min_by(.cpu_time)) | sort_by(.family_index, .per_family_instance_index) | .[] |
       [.run_name, (.cpu_time | tostring), .time_unit,
        ((.monitors // 0) | tostring), ((.devices // 0) | tostring),
        ((.per_block // 0) | tostring), (.error_occurred // false | tostring)] | @tsv' \
  "$out/results.json" |
awk -F'\t' -v cpu="$cpu" -v peak_kb="$peak_kb" -v lm="$largest_monitors" -v ld="$largest_devices" '
  function ms(value, unit) {
    if (unit == "ns") return value / 1e6
    if (unit == "us") return value / 1e3
    if (unit == "s") return value * 1e3
    return value
  }
  function fmt(msec) {
    if (msec < 1) return sprintf("%.1f us", msec * 1000)
    if (msec < 1000) return sprintf("%.2f ms", msec)
    return sprintf("%.2f s", msec / 1000)
  }
  $7 == "true" { failed = failed " " $1; next }
  $1 ~ /^BM_Request\// { key = $4 "/" $5; request[key] = ms($2, $3); order[++n] = key;
                         monitors[key] = $4; devices[key] = $5 }
  $1 ~ /^BM_Floor\//   { floor[$4 "/" $5] = ms($2, $3) }
  $1 == "BM_DecodeEdid" { edid = $6 * 1000 }
  END {
    if (failed != "") { print "benchmarks failed:" failed > "/dev/stderr"; exit 1 }
    print cpu
    printf "%-20s %12s %12s %12s %8s\n", "monitors / devices", "request", "per monitor",
           "floor", "ratio"
    for (i = 1; i <= n; i++) {
      k = order[i]
      printf "%8d / %-9d %12s %12s %12s %8.1f\n", monitors[k], devices[k], fmt(request[k]),
             fmt(request[k] / monitors[k]), fmt(floor[k]), request[k] / floor[k]
    }
    printf "%-20s %12s\n", "EDID decode, block", fmt(edid)
    printf "%-20s %9.1f MB   (displayinfo, %d monitors / %d devices)\n", "peak RSS",
           peak_kb / 1024, lm, ld
  }'
