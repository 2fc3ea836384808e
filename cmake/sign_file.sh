#!/bin/sh
# Signs one program in place with the vendor's code-signing certificate:
# a SHA-1 signature that Windows 2000 and XP check, with a SHA-256 one
# nested in it for the Windows releases that check SHA-256.
#
#   sign_file.sh FILE PFX PASSWORD_FILE TIME [TIMESTAMP_URL]
#
# TIME (seconds since 1970) is the signing time the signatures carry, so
# that one commit signs alike every time. With TIMESTAMP_URL the
# signatures are time-stamped there (Authenticode for the SHA-1 one,
# RFC 3161 for the SHA-256 one) and stay valid once the certificate has
# expired. Whatever fails, FILE is deleted: no unsigned program is left
# where a signed one is expected.
set -eu

file=${1:?file}
pfx=${2:?certificate}
passwords=${3:?password file}
time=${4:?signing time}
timestamps=${5:-}
sha1="$file.sha1"
signed="$file.signed"
log="$file.signing"

fail() {
  echo "sign_file.sh: cannot sign $file: $1" >&2
  if [ -s "$log" ]; then
    sed 's/^/  /' "$log" >&2
  fi
  rm -f "$file" "$sha1" "$signed" "$log"
  exit 1
}

[ -f "$file" ] || fail "there is no such file"
[ -f "$pfx" ] || fail "the certificate file $pfx is missing"
[ -f "$passwords" ] || fail "the password file $passwords is missing"
command -v osslsigncode >/dev/null || fail "osslsigncode is not installed"

set -- -pkcs12 "$pfx" -readpass "$passwords" -time "$time" -n "NORDAL 5120 USB Driver"
if [ -n "$timestamps" ]; then
  osslsigncode sign "$@" -h sha1 -t "$timestamps" -in "$file" -out "$sha1" >"$log" 2>&1 ||
    fail "the SHA-1 signature failed (wrong password, or no certificate and key in $pfx?)"
  osslsigncode sign "$@" -h sha256 -nest -ts "$timestamps" -in "$sha1" -out "$signed" >"$log" 2>&1 ||
    fail "the nested SHA-256 signature failed"
else
  osslsigncode sign "$@" -h sha1 -in "$file" -out "$sha1" >"$log" 2>&1 ||
    fail "the SHA-1 signature failed (wrong password, or no certificate and key in $pfx?)"
  osslsigncode sign "$@" -h sha256 -nest -in "$sha1" -out "$signed" >"$log" 2>&1 ||
    fail "the nested SHA-256 signature failed"
fi
mv "$signed" "$file"
rm -f "$sha1" "$log"
