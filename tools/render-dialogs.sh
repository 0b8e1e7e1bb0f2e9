#!/bin/sh
# Photographs every message box of velmarrow.exe and uninstall.exe into
# docs/dialogs/, as Wine's X11 driver draws them on an Xvfb screen.
# usage: render-dialogs.sh [BUILD_DIR]   (after make; run from the repository root)
#
# The boxes come from the real programs in real installations, brought about by
# tools/dialogs/dialogs.exe. The tests' prefix uses the null graphics driver and
# stays headless: this script keeps a prefix of its own, BUILD_DIR/wineprefix-x11.
set -u
build=$(cd "${1:-build}" && pwd) || exit 1
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/docs/dialogs"
helpers="$build/dialogs"
cxx=x86_64-w64-mingw32-g++-posix
cxxflags="-std=c++20 -O2 -Wall -Wextra -Werror -DUNICODE -D_UNICODE"

sh "$root/tools/ensure-packages.sh" xvfb imagemagick x11-utils || exit 1

for program in velmarrow uninstall standin; do
  if [ ! -f "$build/bin/$program.exe" ]; then
    echo "render-dialogs: $build/bin/$program.exe is missing; run make first" >&2
    exit 1
  fi
done

# The absent library is built for its import library only and never shipped
# beside the program that needs it.
mkdir -p "$helpers/absent" "$out"
# The driver lays installations out with the tests' own harness, from the
# programs copied beside it.
for program in velmarrow uninstall standin; do cp "$build/bin/$program.exe" "$helpers/" || exit 1; done
$cxx $cxxflags -static -municode -I"$root/tests/e2e" "$root/tools/dialogs/dialogs.cpp" "$root/tests/e2e/harness.cpp" \
    -luser32 -ladvapi32 -lshell32 -o "$helpers/dialogs.exe" &&
  $cxx $cxxflags -static -shared "$root/tools/dialogs/absent_library.cpp" -o "$helpers/absent/velmarrow-absent.dll" \
    -Wl,--out-implib,"$helpers/absent/libvelmarrow-absent.a" &&
  $cxx $cxxflags -static -municode -mwindows "$root/tools/dialogs/needs_absent_library.cpp" \
    -L"$helpers/absent" -lvelmarrow-absent -o "$helpers/needs-absent-library.exe" || exit 1

windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }

display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
export DISPLAY=":$display"
export WINEPREFIX="$build/wineprefix-x11"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if command -v wine64 >/dev/null 2>&1; then wine=wine64
elif [ -x /usr/lib/wine/wine64 ]; then wine=/usr/lib/wine/wine64
else wine=wine; fi

signal=$(mktemp -d)
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
stop() {
  wineserver -k >/dev/null 2>&1
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  rm -rf "$signal"
}
trap stop EXIT
trap 'exit 1' INT TERM HUP
tries=0
until xwininfo -root >/dev/null 2>&1; do
  tries=$((tries + 1))
  if [ $tries -gt 50 ] || ! kill -0 "$xvfb" 2>/dev/null; then echo "render-dialogs: Xvfb did not start" >&2; exit 1; fi
  sleep 0.1
done

if [ ! -f "$WINEPREFIX/.ready" ]; then
  echo "render-dialogs: creating $WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  # Without a window manager on the screen, Wine draws the title bar itself;
  # its close button needs Marlett, which the prefix does not find on its own.
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
  wineserver -w
  touch "$WINEPREFIX/.ready"
fi
wineserver -p >/dev/null 2>&1 </dev/null

# render CASE PNG_NAME [LOAD_ORDER]: 0 saved, 2 another box came, 1 failed.
# LOAD_ORDER joins WINEDLLOVERRIDES for the programs of this case alone.
render() {
  rm -f "$signal/window.txt" "$signal/captured.txt" "$signal/rc" "$signal/log"
  ( if [ -n "${3:-}" ]; then WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$3"; fi
    "$wine" "$helpers/dialogs.exe" "$1" "$(windows_path "$signal")" \
      >"$signal/log" 2>&1 </dev/null; echo $? >"$signal/rc" ) &
  driver=$!
  tries=0
  while [ ! -s "$signal/window.txt" ] && [ ! -f "$signal/rc" ] && [ $tries -lt 600 ]; do
    tries=$((tries + 1)); sleep 0.1
  done
  saved=1
  if [ -s "$signal/window.txt" ]; then
    window=$(tr -d '\r\n' <"$signal/window.txt")
    if [ "$window" = 0 ]; then
      window=$(xwininfo -name "Library by Velmarrow" 2>/dev/null | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
    fi
    # No time stamps in the file, so an unchanged box leaves the file unchanged.
    if [ -n "$window" ] && import -window "$window" -strip -define png:exclude-chunks=date,time \
        "$out/$2.png" 2>/dev/null; then
      saved=0
    fi
    touch "$signal/captured.txt"
  fi
  wait "$driver"
  rc=$(cat "$signal/rc" 2>/dev/null || echo 1)
  [ "$rc" = 0 ] && [ $saved = 0 ] && return 0
  [ "$rc" = 2 ] && return 2
  return 1
}

failed=0
for name in launcher-runtime-missing launcher-could-not-start launcher-closed-early \
            uninstall-question uninstall-removed uninstall-not-found; do
  if render "$name" "$name"; then
    echo "docs/dialogs/$name.png"
  else
    echo "render-dialogs: $name: $(tr -d '\r' <"$signal/log")" >&2
    failed=1
  fi
done

# Windows says a module is missing when CreateProcessW fails with error 126 or
# 1157. A runtime that imports an absent DLL is the first thing to try; Wine,
# like Windows, starts such a program and lets it die in its loader, so the
# launcher reports an early close instead. Wine refuses a module that its load
# order disables in CreateProcessW itself, with error 126.
if render launcher-missing-library launcher-missing-library; then
  echo "docs/dialogs/launcher-missing-library.png (a runtime that imports an absent DLL)"
else
  first=$?
  absent=$(tr -d '\r' <"$signal/log")
  if [ $first = 2 ] &&
      render launcher-missing-library-refused launcher-missing-library "javaw.exe=d"; then
    echo "docs/dialogs/launcher-missing-library.png (runtime refused by Wine's load order, error 126)"
    echo "  a runtime that imports an absent DLL brought instead: $absent"
  else
    echo "render-dialogs: launcher-missing-library: $absent $(tr -d '\r' <"$signal/log")" >&2
    failed=1
  fi
fi
exit $failed
