#!/bin/sh
# Runs the timings under Wine, in the tests' prefix, with one wineserver for
# the whole run so that no timing pays for starting Wine.
# usage: run.sh [BUILD_DIR]
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
# Wine takes its prefix only as an absolute path.
mkdir -p "${1:-build}" && build=$(cd "${1:-build}" && pwd) || exit 1
wine_run="$root/tests/wine-run.sh"
prefix="$build/wineprefix"
bin="$build/bin"

# The bench is part of the test build, which a build without tests lacks.
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null || exit 1
fi
cmake --build "$build" --target bench_driver -j "${JOBS:-2}" >/dev/null || {
  echo "bench: the build failed; run make" >&2
  exit 1
}
for program in bench_driver velmarrow uninstall standin bare full_import_floor; do
  if [ ! -f "$bin/$program.exe" ]; then
    echo "bench: $bin/$program.exe is missing (configured with BUILD_TESTING off?)" >&2
    exit 1
  fi
done

sh "$wine_run" "$prefix" --start-server "$bin/standin.exe" || {
  echo "bench: could not start the wineserver" >&2
  exit 1
}
# Bounded, so that a hung program cannot hold the run: the bench takes about
# two minutes.
timeout 400 sh "$wine_run" "$prefix" "$bin/bench_driver.exe"
status=$?
sh "$wine_run" "$prefix" --stop-server || true
if [ "$status" -eq 124 ]; then
  echo "bench: timed out" >&2
fi
exit "$status"
