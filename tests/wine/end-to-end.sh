#!/usr/bin/env bash
# The Windows build end to end under Wine. In a fresh prefix, hardware
# information values, a monitor description and a 256-byte EDID block are
# imported for Wine's own display adapter and monitor; displayinfo.exe must
# then report all eight classes with exactly the values these imports give.
# A capture of the machine (displayinfo.exe --capture), replayed by the Linux
# build, must give the same instances and log lines as the live run; so must
# a capture taken while the monitor had no EDID value.
# Usage: end-to-end.sh WINE64 BIN WORKDIR LINUX_DISPLAYINFO
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$4" ] || fail "no Linux build of displayinfo at $4"
command -v jq >/dev/null || fail "jq is missing (scripts/install-deps.sh installs it)"
BIN="$(cd "$2" && pwd)"
LINUX_DISPLAYINFO="$(realpath "$4")"

# A fresh prefix: values imported by an earlier run must not count.
rm -rf "$3"
mkdir -p "$3"
source "$(dirname "$0")/wine-env.sh" "$1" "$(cd "$3" && pwd)"
cd "$WORKDIR"
# Wine's dates follow TZ; a capture records Wine's zone, in which the Linux
# build then answers whatever its own.
export TZ=UTC

# Wine rewrites its display-device keys whenever its server starts, so one
# server stays up from the first import to the last run.
"$WINESERVER" -p
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT

windows() {  # windows NAME ARGS...: displayinfo.exe under Wine, output in NAME
  local name="$1"
  shift
  run_windows "$BIN/displayinfo.exe" "$@" >"$name" 2>"$name.err" \
    || fail "displayinfo.exe $* exited with $? ($(cat "$name.err"))"
}
replay() {  # replay CAPTURE NAME: the capture replayed by the Linux build
  "$LINUX_DISPLAYINFO" --machine "$1" --format json --log-level error >"$2" 2>"$2.err" \
    || fail "displayinfo --machine $1 exited with $? ($(cat "$2.err"))"
}

# Wine's system error texts are not Windows' (and the Linux layer gives
# Windows' texts). Each known Wine text stands in for the Windows one; any
# other difference between a live run and its replay is a failure.
WINE_TEXTS='{
  "File not found.\r\n": "The system cannot find the file specified.\r\n"
}'
same_as_live() {  # same_as_live LIVE REPLAY
  diff -u <(jq --argjson texts "$WINE_TEXTS" \
             '{instances, log: [.log[] | .text = ($texts[.text] // .text)]}' "$1") \
          <(jq '{instances, log}' "$2") >"$2.diff" \
    || fail "the replay $2 differs from the live run $1:
$(head -40 "$2.diff")"
}

# --- Wine's adapter and monitor, as a first capture shows them ---------------
windows capture.out --capture discovered.json
# The device a lookup by hardware ID ends at: the last whose hardware or
# compatible IDs begin with the pattern, letter case aside.
last_match='def last_match($prefix): [.devices[]
  | select([(.hardwareIds // [])[], (.compatibleIds // [])[]]
           | any(ascii_downcase | startswith($prefix | ascii_downcase)))] | last.instanceId;'
found="$(jq -r "$last_match"'
  .displayDevices[0] as $a
  | ($a.deviceKey | ascii_downcase | .[index("system"):]) + " " +
    last_match($a.monitors[0].deviceID | split("\\{")[0])' discovered.json)" \
  || fail "no adapter with a monitor in discovered.json"
read -r DRIVER_KEY MONITOR_INSTANCE <<<"$found"
[ -n "$MONITOR_INSTANCE" ] && [ "$MONITOR_INSTANCE" != null ] \
  || fail "no device for Wine's monitor in discovered.json"

# --- imports -------------------------------------------------------------------
utf16() {  # the text as UTF-16LE .reg hex data with its terminator
  local text="$1" out="" i
  for ((i = 0; i < ${#text}; i++)); do out+="$(printf '%02x' "'${text:i:1}"),00,"; done
  echo "hex:${out}00,00"
}
cat >hardware.reg <<EOF
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\$DRIVER_KEY]
"HardwareInformation.BiosString"=$(utf16 "KVT BIOS 1.02.3")
"HardwareInformation.ChipType"=$(utf16 "KVT Chip GX-42")
"HardwareInformation.DacType"=$(utf16 "KVT RAMDAC")
"HardwareInformation.AdapterString"=$(utf16 "KVT Adapter 9000")
"HardwareInformation.MemorySize"=hex:00,00,00,10

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Enum\\$MONITOR_INSTANCE]
"DeviceDesc"="@monitor.inf,%kvtvision27%;KVT Vision 27; rev. B"
EOF
run_windows reg import hardware.reg >/dev/null 2>&1 || fail "reg import hardware.reg failed"

# --- a monitor without EDID value: the capture replays like the live run ---------
windows live-no-edid.json --format json --log-level error
windows capture.out --capture no-edid-machine.json
replay no-edid-machine.json replay-no-edid.json
same_as_live live-no-edid.json replay-no-edid.json
jq -e 'all(.instances[]; .class != "ORNSG_DesktopMonitor")' live-no-edid.json >/dev/null \
  || fail "a monitor without EDID value was reported"

# The EDID block, version 1.3, with one extension block.
base=(
  00 FF FF FF FF FF FF 00  # header
  2E D4                    # manufacturer K(11) V(22) T(20)
  7A 1B 01 02 03 04        # product code, serial number
  0C 1D                    # week 12 of 1990 + 29
  01 03                    # version 1, revision 3
  80 35 1E 78              # digital input, 53 x 30 cm, gamma 120
  AA                       # standby, active off (not suspend), RGB, preferred timing
  EE 91 A3 54 4C 99 26 0F 50 54  # chromaticity
  25 09 00                 # established: bits 0 2 5 of I, bits 0 3 of II
  D1 C0 81 80 81 00 A9 40 B3 00 61 4F 01 01 01 01  # standard timings
  02 3A 80 18 71 38 2D 40 58 2C 45 00 13 2A 21 00 00 1E  # 1920x1080 detailed timing
  00 00 00 FD 00 38 4C 1E 53 11 00 0A 20 20 20 20 20 20  # range limits
  00 00 00 FC 00 4B 56 54 20 56 69 73 69 6F 6E 20 32 37  # name "KVT Vision 27"
  00 00 00 FF 00 53 4E 34 37 31 31 41 42 43 0A 20 20 20  # serial "SN4711ABC"
  01                       # one extension block
)
extension=(40 01 01)       # digital interface extension, interface 1
while [ ${#extension[@]} -lt 127 ]; do extension+=(00); done
checksum() { local sum=0 b; for b in "$@"; do sum=$((sum + 16#$b)); done; printf '%02X' $(((256 - sum % 256) % 256)); }
edid=("${base[@]}" "$(checksum "${base[@]}")" "${extension[@]}" "$(checksum "${extension[@]}")")
[ ${#edid[@]} -eq 256 ] || fail "the EDID block has ${#edid[@]} bytes"
cat >edid.reg <<EOF
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Enum\\$MONITOR_INSTANCE\\Device Parameters]
"EDID"=hex:$(IFS=,; echo "${edid[*]}")
EOF
run_windows reg import edid.reg >/dev/null 2>&1 || fail "reg import edid.reg failed"

# --- the live run, property by property ----------------------------------------
windows live.json --format json --log-level error
windows capture.out --capture machine.json
jq -e '[.log[] | select(.level <= 2)] == []' live.json >/dev/null \
  || fail "errors or warnings logged: $(jq -c '[.log[] | select(.level <= 2) | .text]' live.json)"

# What Wine itself reports (names, modes, device instance identifiers) comes
# from a capture taken with the live run (Wine, unlike Windows, reports the
# monitor's "DeviceDesc" verbatim as its name); everything else from the
# imports. Wine's configuration manager reports no status bits, so its
# devices are "not started".
expected_program='
  def value($type; $v): {type: $type, value: $v};
  def s($v): value("string"; $v);
  def not_started: {OperationalStatus: value("uint16[]"; [0]),
                    StatusDescriptions: value("string[]"; ["Device is not started"])};
  def system: {SystemCreationClassName: s("CIM_ComputerSystem"), SystemName: s($machine.computerName)};
  $live.instances as $got
  | $machine.displayDevices[0] as $a
  | ($monitor + "\\ Setting ") as $setting
  | [[800, 600, 60], [640, 480, 75], [640, 480, 60], [1280, 1024, 75], [1024, 768, 60],
     [1920, 1080, 60], [1280, 1024, 60], [1280, 800, 60], [1600, 1200, 60], [1680, 1050, 60],
     [1024, 768, 75]] as $modes
  | ([$a.modes[1:][].displayFrequency | select(. > 1)]) as $rates
  | ({AdapterString: s("KVT Adapter 9000"), BiosString: s("KVT BIOS 1.02.3"),
      CurrentBitsPerPixel: value("uint32"; $a.currentMode.bitsPerPel),
      CurrentHorizontalResolution: value("uint32"; $a.currentMode.pelsWidth),
      CurrentVerticalResolution: value("uint32"; $a.currentMode.pelsHeight),
      CurrentRefreshRate: value("uint32"; $a.currentMode.displayFrequency),
      CurrentScanMode: value("uint16"; if $a.currentMode.displayFlags % 4 >= 2 then 3 else 4 end),
      DACType: s("KVT RAMDAC"), Description: s($a.deviceString), DisplayId: s($a.deviceID),
      MonitorString: value("string[]"; [$a.monitors[].deviceString]), Name: s($a.deviceString),
      VideoProcessor: s("KVT Chip GX-42"), VideoRamSize: value("uint32"; 268435456)}
     + (if $rates == [] then {} else {MaxRefreshRate: value("uint32"; $rates | max),
                                      MinRefreshRate: value("uint32"; $rates | min)} end)
     + system) as $video
  | [ {class: "ORNSG_VideoController", properties: ($video + not_started + {
         CreationClassName: s("ORNSG_VideoController"), DeviceID: s($machine | last_match($a.deviceID)),
         OtherIdentifyingInfo: value("string[]"; [$a.deviceString])})},
      {class: "ORNSG_VideoHead", properties: ($video + {
         CreationClassName: s("ORNSG_VideoHead"), DeviceID: s("VIDEOHEAD" + $a.deviceName),
         HeadNumber: value("uint8"; 1)})},
      {class: "ORNSG_VideoBios", properties: {
         Name: s("Video Device"), SoftwareElementID: s("KVT Video Bios Firmware"),
         SoftwareElementState: value("uint16"; 3), TargetOperatingSystem: value("uint16"; 0),
         Version: s("KVT BIOS 1.02.3")}},
      {class: "ORNSG_BiosOfVideoController", properties: {
         Antecedent: value("reference"; $got[0].path), Dependent: value("reference"; $got[2].path)}},
      {class: "ORNSG_HeadOfVideoController", properties: {
         Antecedent: value("reference"; $got[0].path), Dependent: value("reference"; $got[1].path)}},
      {class: "ORNSG_DesktopMonitor", properties: (not_started + system + {
         CreationClassName: s("ORNSG_DesktopMonitor"), DeviceID: s($monitor),
         Description: s("KVT Vision 27; rev. B"),
         MonitorManufacturer: s("KVT"), EDIDVersion: value("real32"; 1.3),
         ManufacturingDate: value("datetime"; "20190319060000.000000+000"),
         HorizontalImageSize: value("uint8"; 53), VerticalImageSize: value("uint8"; 30),
         Gamma: value("real32"; 2.2), DPMSActiveOff: value("boolean"; true),
         DPMSSuspend: value("boolean"; false), DPMSStandby: value("boolean"; true),
         Name: s("KVT Vision 27"), SerialNumber: s("SN4711ABC"),
         MinHorizFreq: value("uint8"; 30), MaxHorizFreq: value("uint8"; 83),
         MinVertFreq: value("uint8"; 56), MaxVertFreq: value("uint8"; 76),
         Bandwidth: value("uint32"; 170), SupportedDigitalInterface: value("uint8"; 1)})} ]
    + [range($modes | length) as $n | {class: "ORNSG_MonitorResolution", properties: {
         SettingID: s($setting + ($n + 1 | tostring)),
         HorizontalResolution: value("uint32"; $modes[$n][0]),
         VerticalResolution: value("uint32"; $modes[$n][1]),
         RefreshRate: value("uint32"; $modes[$n][2]), ScanMode: value("uint16"; 4)}}]
    + [range($modes | length) as $n | {class: "ORNSG_MonitorSetting", properties: {
         Element: value("reference"; $got[5].path),
         Setting: value("reference"; $got[6 + $n].path)}}]'
jq -n --slurpfile machine machine.json --slurpfile live live.json \
  --arg monitor "$MONITOR_INSTANCE" \
  "$last_match \$machine[0] as \$machine | \$live[0] as \$live | $expected_program" >expected.json
jq -r --slurpfile expected expected.json '
  .instances as $got | $expected[0] as $want
  | (if ($got | length) != ($want | length)
     then "\($want | length) instances expected, got \($got | length): \([$got[].class])" else empty end),
    (range([$got, $want] | map(length) | min) as $i | $got[$i] as $g | $want[$i] as $w
     | if $g.class != $w.class then "instance \($i): \($g.class) where \($w.class) was expected"
       else ([$g, $w] | map(.properties | keys) | add | unique)[] as $p
            | select($g.properties[$p] != $w.properties[$p])
            | "\($w.class) \($i) \($p): expected \($w.properties[$p] | tojson), got \($g.properties[$p] | tojson)"
       end)' live.json >mismatches.txt
[ ! -s mismatches.txt ] || fail "the live run under Wine differs from what the imports give:
$(cat mismatches.txt)"

# --- the capture replays like the live run -----------------------------------------
replay machine.json replay.json
same_as_live live.json replay.json

echo "PASS: eight classes under Wine as the imports give them; captures replay on Linux as they ran live"
