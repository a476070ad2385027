#!/usr/bin/env bash
# Makes the package of a finished build with CPack and checks that it holds
# everything needed to run displayinfo; the .deb is also unpacked and run.
#
# Usage: check-package.sh BUILD_DIR WORK_DIR
set -euo pipefail
build_dir="$(cd "$1" && pwd)"
work="$2"
rm -rf "$work"
mkdir -p "$work"
(cd "$work" && cpack --config "$build_dir/CPackConfig.cmake" -B "$work" >cpack.log) ||
  { cat "$work/cpack.log"; exit 1; }

expect() {  # LISTING ENTRY...
  local listing="$1"; shift
  for entry in "$@"; do
    grep -qxF "$entry" <<<"$listing" || { echo "missing from the package: $entry"; echo "$listing"; exit 1; }
  done
}

shopt -s nullglob
debs=("$work"/*.deb)
zips=("$work"/*.zip)
if [ ${#debs[@]} -eq 1 ]; then
  listing="$(dpkg-deb -c "${debs[0]}" | awk '{print $6}')"
  expect "$listing" ./usr/bin/displayinfo ./usr/lib/displayinfo/displayinfo \
    ./usr/lib/displayinfo/libdisplaycollector.so ./usr/lib/displayinfo/libkvtcore.so \
    ./usr/lib/displayinfo/libdisplayplatform.so \
    ./usr/share/displayinfo/examples/machines/workstation.json ./usr/share/doc/displayinfo/README.md
  dpkg-deb -x "${debs[0]}" "$work/root"
  "$work/root/usr/bin/displayinfo" --machine "$work/root/usr/share/displayinfo/examples/machines/workstation.json" \
    ORNSG_VideoController >"$work/run.mof"
  grep -q '^instance of ORNSG_VideoController$' "$work/run.mof"
elif [ ${#zips[@]} -eq 1 ]; then
  listing="$(cmake -E tar tf "${zips[0]}")"
  expect "$listing" bin/displayinfo.exe bin/displaycollector.dll bin/kvtcore.dll \
    bin/libstdc++-6.dll bin/libgcc_s_seh-1.dll bin/libwinpthread-1.dll \
    examples/machines/workstation.json README.md
else
  echo "expected one .deb or one .zip in $work"; ls "$work"; exit 1
fi
echo "package ok: $(basename "${debs[0]:-${zips[0]}}")"
