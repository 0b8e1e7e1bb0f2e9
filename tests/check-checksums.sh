#!/bin/sh
# Checks DIST_DIR/SHA256SUMS: each file it names has that digest, and it names
# every regular file of DIST_DIR but itself.
# usage: check-checksums.sh DIST_DIR
dir=$1
cd "$dir" 2>/dev/null && [ -f SHA256SUMS ] || { echo "no SHA256SUMS in $dir"; exit 1; }
sha256sum --check --strict --quiet SHA256SUMS || { echo "$dir/SHA256SUMS does not match the files"; exit 1; }
listed=$(sed 's/^[0-9a-f]\{64\} [ *]//' SHA256SUMS)
present=$(find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort)
[ "$listed" = "$present" ] || { echo "$dir/SHA256SUMS does not name exactly the files in $dir"; exit 1; }
echo "$dir/SHA256SUMS: $(grep -c . SHA256SUMS) files, all match"
