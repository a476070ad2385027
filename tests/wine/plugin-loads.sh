#!/usr/bin/env bash
# The Windows DLLs load under Wine: the plug-in registers while it is being
# loaded, answers a request, and a host exception thrown in kvtcore.dll is
# caught inside the plug-in DLL.
set -euo pipefail
BIN="$2"
source "$(dirname "$0")/wine-env.sh" "$1" "$3"

fail() { echo "FAIL: $*" >&2; exit 1; }

out="$WORKDIR/plugin-loads.json"
# A class, an association that brings its two end classes along, and a
# fault on the first instance the plug-in creates.
DISPLAYINFO_INJECT_FAULT="CreateInstance:1:injected by the Wine test" \
  run_windows "$BIN/displayinfo.exe" --format json --log-level error \
  ORNSG_VideoController ORNSG_MonitorSetting >"$out" 2>"$WORKDIR/plugin-loads.err" \
  || fail "displayinfo.exe exited with $? ($(cat "$WORKDIR/plugin-loads.err"))"

texts="$(grep -o '"text": ".*"' "$out" | sed 's/^"text": "//; s/"$//')"
expected=(
  "TDisplayInfoCallbacks::Init - Initializing the plugin."
  "TDisplayInfoCallbacks::GetData - Received request for class ORNSG_VideoController."
  "TDisplayInfoCallbacks::GetData - Received request for class ORNSG_DesktopMonitor."
  "TDisplayInfoCallbacks::GetData - Received request for class ORNSG_MonitorResolution."
  "TDisplayInfoCallbacks::GetData - Received request for class ORNSG_MonitorSetting."
  "TDisplayInfoCallbacks::GetData - Normal exit from plugin."
  "TDisplayInfoCallbacks::DeInit - De-initializing the plugin."
)
# The expected lines appear in this order (collector lines may lie between).
position=0
while IFS= read -r line; do
  if [ $position -lt ${#expected[@]} ] && [ "$line" = "${expected[$position]}" ]; then
    position=$((position + 1))
  fi
done <<<"$texts"
[ $position -eq ${#expected[@]} ] || fail "missing or misplaced log line: ${expected[$position]}"

grep -q 'VideoInfo encountered an error.*Error Code: injected by the Wine test' "$out" \
  || fail "the injected host exception was not caught and logged by the plug-in"
# The help offers only what the Windows build supports.
help="$(run_windows "$BIN/displayinfo.exe" --help)" || fail "displayinfo.exe --help exited with $?"
grep -q -- --capture <<<"$help" || fail "--help does not offer --capture"
if grep -E -- '--(machine|system-root)' <<<"$help"; then fail "--help offers options Windows refuses"; fi

echo "PASS: plug-in registered, served the request and caught the host exception under Wine"
