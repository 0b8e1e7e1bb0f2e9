#!/bin/sh
# Signs Windows programs with Authenticode (SHA-256) and then rewrites
# DIST_DIR/SHA256SUMS: every file or none. Each file is signed as a copy in a
# private temporary folder and verified there; only when every copy verifies
# do the copies replace the originals. Any failure is one line on standard
# error, exit code 1, and every file as it was.
# usage: PFX=KEY.p12 [PFX_PASSWORD_FILE=FILE] [TIMESTAMP_URL=URL] sign.sh DIST_DIR FILE...
#
# The password goes to openssl and osslsigncode through a pipe, never as an
# argument: any user of the machine can read the command lines of its processes.
# Without a time-stamp server the signing time is SOURCE_DATE_EPOCH, else the
# time of the commit checked out, so that signing the same build with the same
# (RSA) key gives the same bytes.
set -u
PFX=${PFX:-}
PFX_PASSWORD_FILE=${PFX_PASSWORD_FILE:-}
TIMESTAMP_URL=${TIMESTAMP_URL:-}
objdump=x86_64-w64-mingw32-objdump
root=$(cd "$(dirname "$0")/.." && pwd)

fail() {
  echo "sign: $*" >&2
  exit 1
}

# The first line of the password file, without a UTF-8 byte-order mark or a
# carriage return, as one line; an empty line without a password file.
password() {
  if [ -n "$PFX_PASSWORD_FILE" ]; then
    { sed -e '1s/^\xEF\xBB\xBF//' -e 's/\r$//' -e q "$PFX_PASSWORD_FILE"; echo; } | head -n 1
  else
    echo
  fi
}

# Fails unless FILE is a Windows program that carries no signature yet:
# signing it again would replace a signature someone may rely on.
check_signable() {
  [ -f "$1" ] || fail "$1 not found (run make first)"
  headers=$("$objdump" -p "$1" 2>/dev/null)
  echo "$headers" | grep -q 'file format pei-' || fail "$1 is not a Windows program"
  if echo "$headers" | grep -Eq '^Entry 4 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Security Directory'; then
    fail "$1 is already signed"
  fi
}

# Writes the signer's certificate to $work/signer.pem, and to $work/trusted.pem
# the certificates a signature from it verifies with: the PFX's own and the
# system's CAs. -legacy also opens what older Windows versions export (RC2).
read_certificates() {
  [ -f "$PFX" ] || fail "PFX file not found: $PFX"
  if [ -n "$PFX_PASSWORD_FILE" ] && [ ! -f "$PFX_PASSWORD_FILE" ]; then
    fail "password file not found: $PFX_PASSWORD_FILE"
  fi
  if ! password | openssl pkcs12 -legacy -in "$PFX" -passin stdin -nokeys -clcerts -out "$work/signer.pem" \
         2>"$work/openssl.txt" ||
     ! password | openssl pkcs12 -legacy -in "$PFX" -passin stdin -nokeys -cacerts -out "$work/chain.pem" \
         2>>"$work/openssl.txt"; then
    grep -q 'invalid password' "$work/openssl.txt" && fail "wrong password for $PFX"
    fail "$PFX is not a PKCS#12 file that openssl can read"
  fi
  cat "$work/signer.pem" "$work/chain.pem" > "$work/trusted.pem"
  if [ -f /etc/ssl/certs/ca-certificates.crt ]; then
    cat /etc/ssl/certs/ca-certificates.crt >> "$work/trusted.pem"
  fi
}

# Windows accepts a signature only from a certificate meant for code signing.
check_code_signing_usage() {
  extensions=$(openssl x509 -in "$work/signer.pem" -noout -ext extendedKeyUsage,keyUsage 2>/dev/null) ||
    fail "$PFX holds no certificate for its key"
  usages=$(echo "$extensions" | sed -n '/Extended Key Usage/{n;s/^ *//;p;}')
  case ", $usages," in
    *", Code Signing,"*) ;;
    *) fail "the certificate in $PFX is not for code signing (extended key usage: ${usages:-none})" ;;
  esac
  key_usage=$(echo "$extensions" | sed -n '/X509v3 Key Usage/{n;s/^ *//;p;}')
  case "$key_usage" in
    "" | *"Digital Signature"*) ;;
    *) fail "the certificate in $PFX may not make signatures (key usage: $key_usage)" ;;
  esac
}

# Sets time_option and time_value: the time-stamp server to ask, or else the
# fixed signing time.
choose_signing_time() {
  if [ -n "$TIMESTAMP_URL" ]; then
    time_option=-ts
    time_value=$TIMESTAMP_URL
    return
  fi
  time_option=-time
  time_value=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null)}
  case "$time_value" in
    "" | *[!0-9]*) fail "set SOURCE_DATE_EPOCH: no commit to take the signing time from" ;;
  esac
}

# Signs FILE into COPY; on failure says why, as far as osslsigncode told.
sign_copy() {
  password | osslsigncode sign -pkcs12 "$PFX" -readpass /dev/stdin -h sha256 "$time_option" "$time_value" \
    -in "$1" -out "$2" >"$work/osslsigncode.txt" 2>&1 && return 0
  if grep -q 'timestamping failed' "$work/osslsigncode.txt"; then
    fail "$1: no time stamp from $TIMESTAMP_URL ($(grep -m 1 'failure:' "$work/osslsigncode.txt"))"
  fi
  reason=$(grep -v -e '^Failed$' -e '^Connecting to' "$work/osslsigncode.txt" | grep . | tail -n 1)
  fail "$1: osslsigncode failed${reason:+: $reason}"
}

# Fails unless the signature of COPY verifies, so that no broken signature
# replaces an unsigned file.
verify_copy() {
  osslsigncode verify -CAfile "$work/trusted.pem" -TSA-CAfile "$work/trusted.pem" -in "$2" \
    >"$work/verify.txt" 2>&1 && return 0
  reason=$(sed -n 's/.*[Ee]rror: //p' "$work/verify.txt" | tail -n 1)
  fail "$1: the new signature does not verify (${reason:-see osslsigncode verify})"
}

# The hidden name beside FILE under which its signed copy waits.
staged() { echo "$(dirname "$1")/.$(basename "$1").signed"; }

# Puts each signed copy beside its original, with the original's permissions,
# then renames them all over the originals: a rename within a folder cannot
# fail halfway, a copy between file systems could.
put_in_place() {
  index=0
  for file in "$@"; do
    index=$((index + 1))
    if ! cp "$work/$index.exe" "$(staged "$file")" || ! chmod --reference="$file" "$(staged "$file")"; then
      for written in "$@"; do rm -f "$(staged "$written")"; done
      fail "cannot write beside $file"
    fi
  done
  for file in "$@"; do mv -f "$(staged "$file")" "$file" || fail "cannot replace $file"; done
}

dist=${1:-}
[ -n "$dist" ] && [ $# -ge 2 ] || fail "usage: PFX=KEY.p12 sign.sh DIST_DIR FILE..."
shift
[ -n "$PFX" ] || fail "give the signing key and certificate as PFX=<file.p12>"
for file in "$@"; do check_signable "$file"; done
named_twice=$(for file in "$@"; do realpath "$file"; done | sort | uniq -d | head -n 1)
[ -z "$named_twice" ] || fail "$named_twice is named twice"
work=$(mktemp -d) || fail "cannot make a temporary folder"
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM HUP
read_certificates
check_code_signing_usage
choose_signing_time
index=0
for file in "$@"; do
  index=$((index + 1))
  sign_copy "$file" "$work/$index.exe"
  verify_copy "$file" "$work/$index.exe"
done
put_in_place "$@"
sh "$root/tools/write-checksums.sh" "$dist" || exit 1
for file in "$@"; do echo "signed $file"; done
