#!/usr/bin/env bash
# Installs the host SDK from a finished build, builds the plug-in and
# displayinfo out of tree against it from a copy of the sources without the
# host (host/ and kvtcore/), and runs one request through them: a Linux build
# must answer exactly as the in-tree build does; a Windows build (given its
# toolchain file and Wine) must load, register and answer under Wine.
#
# Usage: out-of-tree.sh SOURCE_DIR BUILD_DIR WORK_DIR [TOOLCHAIN_FILE WINE64]
set -euo pipefail
source_dir="$(cd "$1" && pwd)"
build_dir="$(cd "$2" && pwd)"
work="$3"
toolchain="${4:-}"
wine64="${5:-}"

rm -rf "$work"
mkdir -p "$work/src"
cmake --install "$build_dir" --prefix "$work/sdk" >/dev/null

# The plug-in's own sources, nothing of the host.
tar -C "$source_dir" --exclude=./build --exclude=./.git --exclude=./host --exclude=./kvtcore \
  --exclude=./tests --exclude=./bench -cf - . | tar -C "$work/src" -xf -

configure=(-S "$work/src" -B "$work/build" -DCMAKE_BUILD_TYPE=Release
  -DDISPLAYINFO_HOST_SDK="$work/sdk")
[ -z "$toolchain" ] || configure+=(-DCMAKE_TOOLCHAIN_FILE="$toolchain")
cmake "${configure[@]}" >"$work/configure.log" || { cat "$work/configure.log"; exit 1; }
cmake --build "$work/build" -j"$(nproc)" >"$work/build.log" || { cat "$work/build.log"; exit 1; }

if [ -n "$toolchain" ]; then
  bash "$source_dir/tests/wine/plugin-loads.sh" "$wine64" "$work/build/bin" "$work/wine"
  exit
fi

machine="$source_dir/examples/machines/workstation.json"
request=(--machine "$machine" --format json ORNSG_VideoController ORNSG_DesktopMonitor)
TZ=UTC "$build_dir/bin/displayinfo" "${request[@]}" >"$work/in-tree.json"
TZ=UTC "$work/build/bin/displayinfo" "${request[@]}" >"$work/out-of-tree.json"
diff -u "$work/in-tree.json" "$work/out-of-tree.json"
echo "the plug-in built against the SDK in $work/sdk answers as the in-tree one"
