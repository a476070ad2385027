#!/usr/bin/env bash
# Checks that the sources include only from their own layer and the layers
# below it. The plug-in's layers, lowest first: platform; the collector
# framework; devstatus; video and monitor, which never include each other;
# plugin. The plug-in layers reach the host only through its interface
# (host/), never the stand-in host core (kvtcore/), and neither the EDID parser
# nor the lookup rules (which the host program and the benchmarks use too)
# need a host.
#
# Beside them: machine/ (the machine model and its description format) needs
# nothing of ours, and of the plug-in's layers only the platform stand-in may
# use it; layout/ (Windows' layout of display hardware) builds on machine/;
# capture/ (reading the live machine) builds on both, and on Windows looks
# devices up by the plug-in's lookup rules. No layer includes the machine
# generator (tools/), the benchmarks (bench/) or the tests (tests/), which are
# built on top of the rest.
#
# Usage: check-layers.sh [SOURCE_ROOT]   (exit 1 and one line per offending include)
set -euo pipefail
root="${1:-$(dirname "$0")/..}"
cd "$root"

# The folders each folder may include from.
declare -A allowed=(
  [machine]="machine"
  [platform]="platform machine"
  [host]="host"
  [kvtcore]="kvtcore host platform"
  [collector]="collector host platform"
  [devstatus]="devstatus collector host platform"
  [video]="video devstatus collector host platform"
  [monitor]="monitor devstatus collector host platform"
  [plugin]="plugin video monitor devstatus collector host platform"
  [layout]="layout machine"
  [capture]="capture layout machine platform"
)
# Folders above every layer, which no layer may include from.
above_layers="tools bench tests"
# Files with a narrower rule than their folder: pattern, then what they may include.
parser_files='^monitor/EdidParser\.'
parser_allowed="monitor/EdidLayout.h monitor/EdidParser.h"
lookup_files='^devstatus/(LookupRules|DeviceIdList|DeviceSearch)\.'
lookup_allowed="platform/Win32.h devstatus/LookupRules.h devstatus/DeviceIdList.h devstatus/DeviceSearch.h"
# What the capture may use of the plug-in's layers: the host-free lookup rules.
capture_extra="devstatus/LookupRules.h devstatus/DeviceIdList.h devstatus/DeviceSearch.h
collector/DisplayDeviceText.h"

status=0
for folder in machine platform host kvtcore collector devstatus video monitor plugin layout capture; do
  [ -d "$folder" ] || continue
  while IFS=: read -r file line text; do
    included="$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+)".*/\1/' <<<"$text")"
    top="${included%%/*}"
    [ "$top" != "$included" ] || continue  # a file beside it
    if [[ "$file" =~ $parser_files ]]; then
      if [[ " $parser_allowed " != *" $included "* ]]; then
        echo "$file:$line: includes $included; the EDID parser includes only $parser_allowed"
        status=1
      fi
    elif [[ "$file" =~ $lookup_files ]]; then
      if [[ " $lookup_allowed " != *" $included "* ]]; then
        echo "$file:$line: includes $included; the lookup rules include only $lookup_allowed"
        status=1
      fi
    elif [[ $folder == capture && " ${capture_extra//$'\n'/ } " == *" $included "* ]]; then
      continue
    elif [[ ( -n "${allowed[$top]+set}" || " $above_layers " == *" $top "* ) &&
            " ${allowed[$folder]} " != *" $top "* ]]; then
      echo "$file:$line: includes $top/ ($included); $folder/ may include only: ${allowed[$folder]}"
      status=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' "$folder" --include='*.h' --include='*.cpp' | LC_ALL=C sort -t: -k1,1 -k2,2n || true)
done
exit $status
