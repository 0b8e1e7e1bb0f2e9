#!/bin/sh
# Builds the installer of one application image around velmarrow.exe and
# uninstall.exe.
# usage: build-installer.sh APP_IMAGE PROGRAMS_DIR OUTPUT.exe
#   APP_IMAGE     runtime/ (with bin/javaw.exe), lib/, resources/ and the
#                 native libraries at its top level; installed as it is
#   PROGRAMS_DIR  the folder that holds velmarrow.exe and uninstall.exe
set -u
if [ $# -ne 3 ]; then
  echo "usage: build-installer.sh APP_IMAGE PROGRAMS_DIR OUTPUT.exe" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
image=$(cd "$1" 2>/dev/null && pwd) || { echo "build-installer: no application image at $1" >&2; exit 1; }
programs=$(cd "$2" 2>/dev/null && pwd) || { echo "build-installer: no folder $2" >&2; exit 1; }

for entry in runtime/bin/javaw.exe lib resources; do
  if [ ! -e "$image/$entry" ]; then
    echo "build-installer: $image is no application image: it lacks $entry" >&2
    exit 1
  fi
done
# The image lies beside the two programs in the install directory.
for program in velmarrow.exe uninstall.exe; do
  if [ -e "$image/$program" ]; then
    echo "build-installer: $image holds $program, which the installer brings itself" >&2
    exit 1
  fi
  if [ ! -f "$programs/$program" ]; then
    echo "build-installer: $programs/$program is missing; run make" >&2
    exit 1
  fi
done

mkdir -p "$(dirname "$3")" || exit 1
output="$(cd "$(dirname "$3")" && pwd)/$(basename "$3")"
makensis -V2 -WX "-DAPP_IMAGE=$image" "-DPROGRAMS=$programs" "-DOUTFILE=$output" "$here/velmarrow.nsi" || exit 1
echo "$3: $(wc -c < "$output") bytes"
