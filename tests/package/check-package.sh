#!/usr/bin/env bash
# Makes the package of a finished release build with CPack and checks that it
# holds everything needed to run displayinfo, as a distribution expects it:
# stripped binaries; for the .deb, Depends with versions, a copyright file,
# a changelog, a manual page that knows every option, a README that names
# installed paths, no lintian error, and a run on the example workstation;
# for the ZIP, one top-level folder and a version resource on every module of
# ours.
#
# Usage: check-package.sh BUILD_DIR WORK_DIR OBJDUMP
set -euo pipefail
build_dir="$(cd "$1" && pwd)"
work="$2"
objdump="$3"
rm -rf "$work"
mkdir -p "$work"
(cd "$work" && cpack --config "$build_dir/CPackConfig.cmake" -B "$work" >cpack.log 2>&1) ||
  { cat "$work/cpack.log"; exit 1; }

fail() { echo "FAIL: $*"; exit 1; }
expect() {  # LISTING ENTRY...
  local listing="$1"; shift
  for entry in "$@"; do
    grep -qxF "$entry" <<<"$listing" || { echo "$listing"; fail "missing from the package: $entry"; }
  done
}
stripped() {  # FILE...: no debugging sections and no symbol table
  for file in "$@"; do
    if "$objdump" -h "$file" | grep -q '\.debug'; then fail "$file has debugging sections"; fi
    if "$objdump" -t "$file" | sed '1,/^SYMBOL TABLE:/d' | grep -v '^no symbols$' | grep -q .; then
      fail "$file has a symbol table"
    fi
  done
}

shopt -s nullglob
debs=("$work"/*.deb)
zips=("$work"/*.zip)
if [ ${#debs[@]} -eq 1 ]; then
  deb="${debs[0]}"
  listing="$(dpkg-deb -c "$deb" | awk '{print $6}')"
  expect "$listing" ./usr/bin/displayinfo ./usr/lib/displayinfo/displayinfo \
    ./usr/lib/displayinfo/libdisplaycollector.so ./usr/lib/displayinfo/libkvtcore.so \
    ./usr/lib/displayinfo/libdisplayplatform.so \
    ./usr/share/displayinfo/examples/machines/workstation.json ./usr/share/doc/displayinfo/README.md \
    ./usr/share/doc/displayinfo/copyright ./usr/share/doc/displayinfo/changelog.Debian.gz \
    ./usr/share/man/man1/displayinfo.1.gz
  root="$work/root"
  dpkg-deb -x "$deb" "$root"
  stripped "$root"/usr/lib/displayinfo/*

  depends="$(dpkg-deb -f "$deb" Depends)"
  for library in libc6 libstdc++6; do
    grep -Eq "(^|, )${library//+/\\+} \(>= [^)]+\)" <<<"$depends" ||
      fail "Depends names no version of $library: $depends"
  done
  summary="$(dpkg-deb -f "$deb" Description | head -1)"
  [ ${#summary} -le 80 ] || fail "the description's first line is longer than 80 characters"
  if dpkg-deb -f "$deb" Maintainer | grep -q '@localhost'; then fail "no real maintainer address"; fi

  # The manual and the README speak of what is installed.
  manual="$(gzip -dc "$root/usr/share/man/man1/displayinfo.1.gz" | sed 's/\\-/-/g')"
  for option in $("$root/usr/bin/displayinfo" --help | grep -Eo -- '--[a-z-]+' | sort -u); do
    grep -qF -- "$option" <<<"$manual" || fail "the manual page does not describe $option"
  done
  readme="$root/usr/share/doc/displayinfo/README.md"
  if grep -q 'scripts/' "$readme"; then fail "the installed README points at the source tree"; fi
  grep -qF /usr/share/displayinfo/examples/machines/workstation.json "$readme" ||
    fail "the installed README does not name the installed examples"

  command -v lintian >/dev/null || fail "lintian is missing (scripts/install-deps.sh installs it)"
  lintian --fail-on error --suppress-tags-from-file /dev/null "$deb" | tee "$work/lintian.txt" ||
    fail "lintian found errors in $deb"

  "$root/usr/bin/displayinfo" --machine "$root/usr/share/displayinfo/examples/machines/workstation.json" \
    ORNSG_VideoController >"$work/run.mof"
  grep -q '^instance of ORNSG_VideoController$' "$work/run.mof"
  package="$deb"
elif [ ${#zips[@]} -eq 1 ]; then
  zip="${zips[0]}"
  top="$(basename "$zip" .zip)"
  listing="$(cmake -E tar tf "$zip")"
  if grep -v "^$top/" <<<"$listing"; then fail "the entries above are outside the folder $top/"; fi
  expect "$listing" "$top/bin/displayinfo.exe" "$top/bin/displaycollector.dll" "$top/bin/kvtcore.dll" \
    "$top/bin/libstdc++-6.dll" "$top/bin/libgcc_s_seh-1.dll" "$top/bin/libwinpthread-1.dll" \
    "$top/examples/machines/workstation.json" "$top/README.md"
  (cd "$work" && cmake -E tar xf "$zip")
  stripped "$work/$top"/bin/*
  for module in displayinfo.exe displaycollector.dll kvtcore.dll; do
    resource="$(strings -el "$work/$top/bin/$module")"
    for entry in ProductVersion OriginalFilename "$module"; do
      grep -qxF "$entry" <<<"$resource" || fail "$module has no version resource ($entry)"
    done
  done
  package="$zip"
else
  echo "expected one .deb or one .zip in $work"; ls "$work"; exit 1
fi
echo "package ok: $(basename "$package"), $(du -k "$package" | cut -f1) KiB"
