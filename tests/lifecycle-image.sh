#!/bin/sh
# Lays out an application image for the installer tests: the stand-in as the
# Java runtime, archives, resources and a native library. Version 2 drops
# files of version 1, adds others and changes the rest, so an upgrade shows
# whether anything of the older installation stays behind.
# usage: lifecycle-image.sh VERSION STANDIN.exe OUTPUT_DIR
set -eu
version=$1
standin=$2
out=$3
rm -rf "$out"
mkdir -p "$out/runtime/bin" "$out/runtime/lib" "$out/lib" "$out/resources/icons"
cp "$standin" "$out/runtime/bin/javaw.exe"
printf 'runtime modules, version %s\n' "$version" >"$out/runtime/lib/modules"
printf 'application archive, version %s\n' "$version" >"$out/lib/velmarrow.jar"
printf 'native library, version %s\n' "$version" >"$out/velmarrow-skiko.dll"
printf 'icon, version %s\n' "$version" >"$out/resources/icons/library.png"
# A name beyond ASCII, with blanks.
printf 'Lesezeichen, Version %s\n' "$version" >"$out/resources/Lesezeichen für Gäste.txt"
if [ "$version" = 1 ]; then
  printf 'an archive that version 2 no longer has\n' >"$out/lib/retired-1.jar"
  mkdir -p "$out/resources/retired"
  printf 'a resource that version 2 no longer has\n' >"$out/resources/retired/old.txt"
else
  printf 'an archive new in version %s\n' "$version" >"$out/lib/added-$version.jar"
fi
