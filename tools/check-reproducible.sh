#!/bin/sh
# Shows that the shipped programs depend on nothing but the source: builds the
# committed HEAD twice with each compiler, in two fresh folders whose paths
# differ in length, at different times and in different time zones, and fails on any
# byte in which the two builds of a program differ, naming the file and the
# first differing offsets.
# usage: check-reproducible.sh   (JOBS sets the build's parallelism)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-2}
presets="gcc clang"
programs="velmarrow uninstall"
started=$(date +%s)

commit=$(git -C "$root" rev-parse HEAD) || exit 1
work=$(mktemp -d "${TMPDIR:-/tmp}/velmarrow-reproducible.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM HUP
first=$work/a
second=$work/second-build-in-a-folder-whose-path-is-much-longer
# The builds must not lean on a fixed time from outside.
unset SOURCE_DATE_EPOCH

# build TREE TIME_ZONE: the shipped programs of HEAD, with each compiler, in TREE.
build() {
  mkdir -p "$1" && git -C "$root" archive "$commit" | tar -x -C "$1" || return 1
  for preset in $presets; do
    echo "building $commit with $preset in $1"
    (cd "$1" && TZ=$2 cmake --preset "$preset" -B "build-$preset" -DBUILD_TESTING=OFF >/dev/null &&
      TZ=$2 cmake --build "build-$preset" -j "$jobs" --target $programs >/dev/null) || return 1
  done
}

# The first few offsets, in hexadecimal from 0, at which two files differ.
first_differences() {
  cmp -l "$1" "$2" 2>/dev/null | head -n 8 | awk '{ printf "%s0x%x", sep, $1 - 1; sep = " " }'
  size1=$(wc -c < "$1")
  size2=$(wc -c < "$2")
  [ "$size1" = "$size2" ] || printf ' (sizes %s and %s bytes)' "$size1" "$size2"
}

build "$first" UTC0 || { echo "reproducible: the first build failed" >&2; exit 1; }
build "$second" XYZ-14 || { echo "reproducible: the second build failed" >&2; exit 1; }

differ=0
for preset in $presets; do
  for program in $programs; do
    a=$first/build-$preset/bin/$program.exe
    b=$second/build-$preset/bin/$program.exe
    if cmp -s "$a" "$b"; then
      echo "$preset $program.exe: identical, sha256 $(sha256sum < "$a" | cut -d ' ' -f 1)"
    else
      echo "reproducible: $preset $program.exe differs at offsets $(first_differences "$a" "$b")" >&2
      differ=1
    fi
  done
done
[ $differ = 0 ] && echo "reproducible: both builds of $commit byte-identical ($(($(date +%s) - started)) s)"
exit $differ
