# Shared by the Wine tests: a private, headless Wine prefix in the build
# folder and a helper that runs a Windows program in it.
# Usage: source wine-env.sh WINE64 WORKDIR
WINE64="$1"
WORKDIR="$2"
export WINEPREFIX="$WORKDIR/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=
WINESERVER="$(dirname "$WINE64")/wineserver"

mkdir -p "$WORKDIR"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$WINE64" wineboot --init >/dev/null 2>&1 || true
  "$WINESERVER" -w
fi

run_windows() {
  "$WINE64" "$@"
}
