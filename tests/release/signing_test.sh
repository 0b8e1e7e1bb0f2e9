#!/bin/sh
# Signing as make sign does it, on copies of the programs in the build tree,
# with a throwaway self-signed code-signing certificate and no network:
# - the signed programs verify with that certificate as the CA, still pass the
#   binary check, keep their permissions, and SHA256SUMS is rewritten for them;
# - signing the same input twice gives the same bytes, signed at the commit's
#   time, or at SOURCE_DATE_EPOCH when it is set;
# - one changed byte breaks the signature;
# - a missing file, a wrong password, a certificate not for code signing, an
#   already signed file, an unreachable time-stamp server and a failure on the
#   last of several files each fail with one line and leave the folder exactly
#   as it was;
# - the password is on no command line.
# Leaves the signed programs in WORK_DIR/signing/dist for the tests under Wine.
# usage: signing_test.sh WORK_DIR OBJDUMP VELMARROW.exe UNINSTALL.exe RESOURCE_FIXTURE.exe
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$1/signing
objdump=$2
velmarrow=$3
uninstall=$4
fixture=$5
keys=$work/keys
failures=0

passed() { echo "ok: $*"; }
failed() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# make_certificate NAME EXTENDED_KEY_USAGE: keys/NAME.pem, and keys/NAME.p12
# with its key, protected by the password in keys/password.
make_certificate() {
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Velmarrow test $1" \
    -addext "extendedKeyUsage=$2" -addext "keyUsage=critical,digitalSignature" \
    -keyout "$keys/$1.key" -out "$keys/$1.pem" 2>/dev/null &&
    openssl pkcs12 -export -inkey "$keys/$1.key" -in "$keys/$1.pem" -passout "file:$keys/password" \
      -out "$keys/$1.p12"
}

# new_dist NAME FILE...: WORK_DIR/signing/NAME with copies of the files and
# SHA256SUMS, as make leaves dist/.
new_dist() {
  folder=$work/$1
  shift
  mkdir -p "$folder" && cp "$@" "$folder/" && sh "$root/tools/write-checksums.sh" "$folder"
}

# Everything about a folder that signing could change.
state() {
  (cd "$1" && find . -printf '%p %s %m %T@\n' | LC_ALL=C sort && find . -type f -exec sha256sum {} +)
}

verifies() { osslsigncode verify -CAfile "$keys/signer.pem" -in "$1" >"$work/verify.txt" 2>&1; }

signing_time() { sed -n 's/^[[:space:]]*Signing time: //p' "$work/verify.txt"; }

# Exports the signing settings of the test's good key; each case changes them.
use_good_key() {
  PFX=$keys/signer.p12
  PFX_PASSWORD_FILE=$keys/password
  TIMESTAMP_URL=
  export PFX PFX_PASSWORD_FILE TIMESTAMP_URL
  unset SOURCE_DATE_EPOCH
}

sign() { sh "$root/tools/sign.sh" "$@"; }

# Puts wrappers of openssl and osslsigncode first on PATH. They note their
# arguments, which any user of the machine can read, in arguments.txt, and
# osslsigncode fails on a file named last.exe as it would on a damaged one.
wrap_tools() {
  mkdir -p "$work/tools" || return 1
  for tool in openssl osslsigncode; do
    cat > "$work/tools/$tool" <<EOF
#!/bin/sh
echo "$tool \$*" >> "$work/arguments.txt"
case "$tool \$*" in osslsigncode*" -in "*/last.exe" "*) echo Failed; exit 1 ;; esac
exec $(command -v $tool) "\$@"
EOF
    chmod +x "$work/tools/$tool" || return 1
  done
  PATH=$work/tools:$PATH
}

# refused WHAT EXPECTED FILE...: signing the files of the refused folder fails
# with one line that says EXPECTED, and changes nothing there.
refused() {
  what=$1
  expected=$2
  shift 2
  before=$(state "$work/refused")
  message=$(sign "$work/refused" "$@" 2>&1 >/dev/null)
  status=$?
  if [ $status = 0 ]; then
    failed "$what: signing succeeded"
  elif [ "$(echo "$message" | wc -l)" != 1 ] || ! echo "$message" | grep -q "$expected"; then
    failed "$what: said \"$message\", not one line with \"$expected\""
  elif [ "$(state "$work/refused")" != "$before" ]; then
    failed "$what: the folder changed"
  else
    passed "$what: \"$message\", folder unchanged"
  fi
  use_good_key
}

rm -rf "$work" && mkdir -p "$keys" || exit 1
printf 'throwaway test password\n' > "$keys/password"
printf 'not the password\n' > "$keys/wrong-password"
make_certificate signer codeSigning && make_certificate web serverAuth && wrap_tools || exit 1
use_good_key

# Signing the programs.
new_dist dist "$velmarrow" "$uninstall" || exit 1
if sign "$work/dist" "$work/dist/velmarrow.exe" "$work/dist/uninstall.exe"; then
  passed "signed"
else
  failed "signing the programs"
fi
for original in "$velmarrow" "$uninstall"; do
  program=$(basename "$original")
  signed=$work/dist/$program
  if verifies "$signed"; then
    passed "$program verifies with the test certificate as CA; $(wc -c < "$original") -> $(wc -c < "$signed") bytes"
  else
    failed "$program does not verify: $(cat "$work/verify.txt")"
  fi
  if sh "$root/tests/check-binary.sh" "$objdump" "$signed" | grep -q ', signed,'; then
    passed "$program passes the binary check as signed"
  else
    failed "$program fails the binary check: $(sh "$root/tests/check-binary.sh" "$objdump" "$signed")"
  fi
  [ "$(stat -c %a "$signed")" = "$(stat -c %a "$original")" ] || failed "$program lost its permissions"
done
commit_time=$(git -C "$root" log -1 --format=%ct)
verifies "$work/dist/velmarrow.exe"
cat "$work/verify.txt"
if [ "$(signing_time)" = "$(LC_ALL=C date -u -d "@$commit_time" '+%b %e %H:%M:%S %Y GMT')" ]; then
  passed "signed at the commit's time, $(signing_time)"
else
  failed "signing time $(signing_time), not the commit's"
fi
sh "$root/tests/check-checksums.sh" "$work/dist" || failed "SHA256SUMS not rewritten for the signed programs"

# The same input and key give the same bytes; SOURCE_DATE_EPOCH sets the time.
new_dist again "$velmarrow" "$uninstall" && sign "$work/again" "$work/again/velmarrow.exe" "$work/again/uninstall.exe" >/dev/null
for program in velmarrow uninstall; do
  if cmp "$work/dist/$program.exe" "$work/again/$program.exe"; then
    passed "$program.exe signed twice: identical"
  else
    failed "$program.exe signed twice: the two differ"
  fi
done
new_dist epoch "$velmarrow" &&
  SOURCE_DATE_EPOCH=1700000000 sh "$root/tools/sign.sh" "$work/epoch" "$work/epoch/velmarrow.exe" >/dev/null && verifies "$work/epoch/velmarrow.exe"
[ "$(signing_time)" = "Nov 14 22:13:20 2023 GMT" ] || failed "SOURCE_DATE_EPOCH=1700000000 signed at $(signing_time)"

# One changed byte in the code.
cp "$work/dist/velmarrow.exe" "$work/changed.exe"
printf '\377' | dd of="$work/changed.exe" bs=1 seek=1280 conv=notrunc 2>/dev/null
if cmp -s "$work/changed.exe" "$work/dist/velmarrow.exe"; then
  failed "the byte to change was already 0xff"
elif verifies "$work/changed.exe"; then
  failed "velmarrow.exe with one byte changed still verifies"
else
  passed "velmarrow.exe with one byte changed fails verification"
fi

# A signature is no resource: a program with resources fails the check, signed or not.
new_dist fixture "$fixture" && sign "$work/fixture" "$work/fixture/$(basename "$fixture")" >/dev/null
for program in "$fixture" "$work/fixture/$(basename "$fixture")"; do
  if sh "$root/tests/check-binary.sh" "$objdump" "$program" | grep -q '^has resources'; then
    passed "a program with resources fails the binary check ($program)"
  else
    failed "the binary check accepts resources in $program"
  fi
done

# Refusals. The refused folder holds an unsigned launcher and a signed uninstaller.
new_dist refused "$velmarrow" "$work/dist/uninstall.exe" || exit 1
refused "a missing file" "absent.exe not found" "$work/refused/velmarrow.exe" "$work/refused/absent.exe"
PFX_PASSWORD_FILE=$keys/wrong-password
refused "a wrong password" "wrong password" "$work/refused/velmarrow.exe"
PFX=$keys/web.p12
refused "a certificate for web servers" "not for code signing" "$work/refused/velmarrow.exe"
refused "an already signed file" "uninstall.exe is already signed" \
  "$work/refused/velmarrow.exe" "$work/refused/uninstall.exe"
TIMESTAMP_URL=http://127.0.0.1:9/
refused "an unreachable time-stamp server" "no time stamp from http://127.0.0.1:9/" "$work/refused/velmarrow.exe"
# osslsigncode failing on the last file: the first, signed by then, stays unsigned too.
cp "$velmarrow" "$work/refused/last.exe" && sh "$root/tools/write-checksums.sh" "$work/refused"
refused "osslsigncode failing on the last file" "last.exe: osslsigncode failed" \
  "$work/refused/velmarrow.exe" "$work/refused/last.exe"

if ! grep -q '^osslsigncode sign' "$work/arguments.txt"; then
  failed "the tools' arguments were not noted"
elif grep -q "$(cat "$keys/password")" "$work/arguments.txt"; then
  failed "the password was on a command line: $(grep "$(cat "$keys/password")" "$work/arguments.txt" | head -n 1)"
else
  passed "the password was on no command line ($(wc -l < "$work/arguments.txt") tool runs)"
fi

[ $failures = 0 ] && echo "signing: all checks passed" && exit 0
echo "signing: $failures checks failed"
exit 1
