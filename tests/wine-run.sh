#!/bin/sh
# Runs a Windows program under Wine in the build tree's own throwaway prefix.
# usage: wine-run.sh PREFIX PROGRAM.exe [ARGUMENT...]
# The first use creates the prefix (headless message boxes, no Mono or Gecko,
# no desktop menu entries); later uses find it ready.
prefix=$1
shift
export WINEPREFIX="$prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# A test adds load orders of its own, for every process of its run, with
# WINE_RUN_DLL_OVERRIDES (for example uxtheme=n,b).
if [ -n "${WINE_RUN_DLL_OVERRIDES:-}" ]; then
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$WINE_RUN_DLL_OVERRIDES"
fi

if command -v wine64 >/dev/null 2>&1; then
  wine=wine64
elif [ -x /usr/lib/wine/wine64 ]; then
  wine=/usr/lib/wine/wine64
else
  wine=wine
fi

if [ ! -f "$prefix/.ready" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.ready" ]; then
      wineboot -i >/dev/null 2>&1
      "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
      wineserver -w
      touch "$prefix/.ready"
    fi
  ) 9>"$prefix.lock"
fi

case "$1" in
  # The server outlives this script: keep it off the caller's output pipes.
  # Wine starts its services and, with the first window, its desktop process
  # on demand, and those inherit the output of whichever process asked first:
  # a test would then seem to run until the server ends. Start them here,
  # with no output to hold, before any test runs.
  # usage: wine-run.sh PREFIX --start-server WINDOWED_PROGRAM.exe
  --start-server)
    wineserver -p </dev/null >/dev/null 2>&1
    STANDIN_WINDOW=1 "$wine" "$2" </dev/null >/dev/null 2>&1
    exit 0 ;;
  --stop-server) exec wineserver -k ;;
esac
exec "$wine" "$@"
