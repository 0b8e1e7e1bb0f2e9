#!/bin/sh
# Installs the Debian packages the build and the tests need, when any is missing.
# usage: ensure-packages.sh [EXTRA_PACKAGE...]   (extras for lint, bench, dialogs)
packages="cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 googletest nsis $*"
missing=""
for package in $packages; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing="$missing $package"
  fi
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run as root:" >&2
  echo "  apt-get update && apt-get install -y$missing" >&2
  exit 1
fi
echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq && apt-get install -y -qq$missing >/dev/null
