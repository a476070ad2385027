#!/usr/bin/env bash
# scripts/demo.sh on a machine that has nothing yet, with stand-ins for
# dpkg-query (nothing installed), apt-get and cmake that talk on standard
# output as the real ones do: the demo's standard output must be
# displayinfo's alone, and it must ask apt-get for no test tool.
#
# Usage: demo-first-run.sh SOURCE_DIR WORK_DIR
set -euo pipefail
source_dir="$(cd "$1" && pwd)"
work="$2"
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/tree/scripts" "$work/stubs"
cp "$source_dir/scripts/demo.sh" "$source_dir/scripts/install-deps.sh" "$work/tree/scripts/"
stub() {  # NAME BODY
  printf '#!/usr/bin/env bash\n%s\n' "$2" >"$work/stubs/$1"
  chmod +x "$work/stubs/$1"
}
stub dpkg-query 'exit 1'
stub id 'echo 0'
stub apt-get "echo \"\$*\" >>'$work/apt-get.log'; echo 'Reading package lists...'; echo 'Setting up cmake ...'"
stub nproc 'echo 2'
# The build prints its progress; the built program prints what it was asked.
stub cmake 'echo "-- Configuring done"; echo "[100%] Built target displayinfo"
if [ "$1" = --build ]; then
  dir="$2"; [ "$2" != --preset ] || dir="build/$3"
  mkdir -p "$dir/bin"
  printf "#!/usr/bin/env bash\necho \"instances for \$*\"\n" >"$dir/bin/displayinfo"
  chmod +x "$dir/bin/displayinfo"
fi'

out="$(cd "$work" && PATH="$work/stubs:$PATH" bash tree/scripts/demo.sh --format json 2>"$work/err")" ||
  fail "demo.sh exited with $? ($(cat "$work/err"))"
expected="instances for --machine examples/machines/workstation.json --format json"
[ "$out" = "$expected" ] || fail "standard output is not displayinfo's alone:
$out"
grep -q 'Reading package lists' "$work/err" || fail "apt-get's output did not reach standard error"
for tool in wine64 g++-mingw-w64-x86-64-posix clang-14 edid-decode libgtest-dev lintian; do
  if grep -qw -- "$tool" "$work/apt-get.log"; then fail "the demo installs $tool, which it does not need"; fi
done
echo "PASS: the demo's first run prints the instances alone and installs only what it builds with"
