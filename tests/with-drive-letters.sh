#!/bin/sh
# Runs a command with two extra drive letters in the test prefix, each a
# second name of a folder, as subst or a mapped drive makes one on Windows:
# FOLDER_LETTER names a new, empty folder on drive C:, INSTALL_LETTER its
# subfolder Velmarrow (which need not exist yet). Wine records what
# DefineDosDeviceW defines but does not follow it when it opens a file, so the
# letters are symlinks in the prefix's dosdevices folder. They and the folder
# are removed again on every way out.
# usage: with-drive-letters.sh PREFIX FOLDER_LETTER INSTALL_LETTER COMMAND...
# The command finds the folder's Windows path in VELMARROW_ALIAS_FOLDER and
# the two drives, as "Q:", in VELMARROW_ALIAS_DRIVE and VELMARROW_INSTALL_DRIVE.
set -u
prefix=$1
folder_letter=$(echo "$2" | tr 'A-Z' 'a-z')
install_letter=$(echo "$3" | tr 'A-Z' 'a-z')
shift 3

# Before the prefix exists (a first listing of the tests) there is nothing
# to name yet; the command makes the prefix.
[ -d "$prefix/drive_c" ] && [ -d "$prefix/dosdevices" ] || exec "$@"

folder=$(mktemp -d "$prefix/drive_c/velmarrow-alias.XXXXXX") || exit 1
made=""
cleanup() {
  for link in $made; do rm -f "$link"; done
  rm -rf "$folder"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

# A letter left by a run that was killed is taken over; any other is refused.
make_letter() {
  link="$prefix/dosdevices/$1:"
  if [ -e "$link" ] || [ -L "$link" ]; then
    case "$(readlink "$link")" in
      "$prefix/drive_c/velmarrow-alias."*) rm -f "$link" ;;
      *) echo "drive $1: is taken in $prefix" >&2; return 1 ;;
    esac
  fi
  ln -s "$2" "$link" || return 1
  made="$made $link"
}
make_letter "$folder_letter" "$folder" || exit 1
make_letter "$install_letter" "$folder/Velmarrow" || exit 1

VELMARROW_ALIAS_FOLDER="C:\\${folder##*/}"
VELMARROW_ALIAS_DRIVE=$(echo "$folder_letter" | tr 'a-z' 'A-Z'):
VELMARROW_INSTALL_DRIVE=$(echo "$install_letter" | tr 'a-z' 'A-Z'):
export VELMARROW_ALIAS_FOLDER VELMARROW_ALIAS_DRIVE VELMARROW_INSTALL_DRIVE
"$@"
