#!/bin/sh
# Writes DIST_DIR/SHA256SUMS in the format `sha256sum -c` reads: one line for
# each regular file of DIST_DIR but SHA256SUMS itself, named relative to
# DIST_DIR, in byte order of the names, so that the same files always give the
# same SHA256SUMS. Every target that puts a file into dist/ calls it.
# usage: write-checksums.sh DIST_DIR
# On failure it says so, exits 1 and leaves an existing SHA256SUMS as it was.
set -u
dir=${1:?usage: write-checksums.sh DIST_DIR}
cd "$dir" || exit 1
sums=$(find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%P\0' | LC_ALL=C sort -z |
       xargs -0r sha256sum --) || { echo "write-checksums: cannot read the files in $dir" >&2; exit 1; }
if [ -n "$sums" ]; then printf '%s\n' "$sums" > SHA256SUMS; else : > SHA256SUMS; fi
