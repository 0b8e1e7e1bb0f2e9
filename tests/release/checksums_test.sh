#!/bin/sh
# tools/write-checksums.sh on a folder of awkward names: every regular file but
# SHA256SUMS itself, by relative name, in byte order, in the format that
# `sha256sum -c` reads; folders are left out, and an old SHA256SUMS is replaced.
# usage: checksums_test.sh WORK_DIR
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
dist=$1/checksums/dist
rm -rf "$dist" && mkdir -p "$dist/folder" || exit 1
cd "$dist" || exit 1
printf 'program' > b.exe
printf 'installer' > 'A setup.exe'
printf 'notes' > .notes
printf 'stale' > SHA256SUMS
printf 'inside' > folder/inner.exe

sh "$root/tools/write-checksums.sh" "$dist" || { echo "FAILED: write-checksums.sh exited $?"; exit 1; }
expected=$(sha256sum -- .notes 'A setup.exe' b.exe)
if [ "$(cat SHA256SUMS)" != "$expected" ]; then
  printf 'FAILED: SHA256SUMS reads\n%s\ninstead of\n%s\n' "$(cat SHA256SUMS)" "$expected"
  exit 1
fi
sha256sum --check --strict --quiet SHA256SUMS || { echo "FAILED: sha256sum -c rejects SHA256SUMS"; exit 1; }
sh "$root/tests/check-checksums.sh" "$dist" || exit 1
printf 'changed' > b.exe
if sh "$root/tests/check-checksums.sh" "$dist" >/dev/null 2>&1; then
  echo "FAILED: check-checksums.sh accepts a changed file"; exit 1
fi
echo "ok: SHA256SUMS names .notes, 'A setup.exe' and b.exe in byte order, and a changed file fails the check"
