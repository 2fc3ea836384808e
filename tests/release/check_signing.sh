#!/bin/sh
# The signed release, made with a throwaway certificate authority and
# code-signing certificate of its own:
# - every file of the release folder, the uninstall program the setup
#   installs and the removal program the Windows Installer package
#   carries, carries a SHA-1 signature with a nested SHA-256 one that
#   osslsigncode verifies against that authority;
# - the signed files pass the release check (the command after "--",
#   with @DIST@ standing for the release folder);
# - they run under Wine: both setups install and uninstall silently in a
#   throwaway prefix of its own;
# - a wrong password or a missing file stops the build with a message
#   saying so, and leaves no unsigned program behind.
#
#   check_signing.sh SOURCE_DIR WORK_DIR -- RELEASE_CHECK...
set -eu

src=${1:?source folder}
work=${2:?work folder}
shift 2
[ "${1:-}" = "--" ] && shift
rm -rf "$work"
mkdir -p "$work/ca"
ca="$work/ca"
failed=0
fail() {
  echo "FAIL $*"
  failed=1
}

# The authority and the signer, as a vendor's would be: RSA 2048, SHA-256.
cat >"$ca/extensions.cnf" <<'EOF'
[signer]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
EOF
openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 7 -subj "/CN=Throwaway Test Authority" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
  -keyout "$ca/authority.key" -out "$ca/authority.pem" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -sha256 -subj "/CN=Orvane (test)/O=Orvane" \
  -keyout "$ca/signer.key" -out "$ca/signer.csr" 2>/dev/null
openssl x509 -req -sha256 -days 7 -in "$ca/signer.csr" -CA "$ca/authority.pem" -CAkey "$ca/authority.key" \
  -CAcreateserial -extfile "$ca/extensions.cnf" -extensions signer -out "$ca/signer.pem" 2>/dev/null
echo "a test password" >"$ca/password"
echo "not the password" >"$ca/wrong"
openssl pkcs12 -export -inkey "$ca/signer.key" -in "$ca/signer.pem" -certfile "$ca/authority.pem" \
  -passout file:"$ca/password" -out "$ca/signer.pfx"

configure() {
  dir=$1
  shift
  cmake -S "$src" -B "$dir" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING=OFF "$@"
}

verify() {
  if ! osslsigncode verify -CAfile "$ca/authority.pem" -in "$1" >"$work/verify.txt" 2>&1; then
    fail "$(basename "$1") does not verify:"
    cat "$work/verify.txt"
  elif ! grep -q "Number of verified signatures: 2" "$work/verify.txt" ||
    ! grep -A2 "(Primary Signature)" "$work/verify.txt" | grep -q "digest algorithm *: SHA1" ||
    ! grep -A2 "Signature Index: 1" "$work/verify.txt" | grep -q "digest algorithm *: SHA256"; then
    fail "$(basename "$1") does not carry a SHA-1 and a nested SHA-256 signature:"
    cat "$work/verify.txt"
  else
    echo "signed and verified: $(basename "$1")"
  fi
}

# The signed release.
signed="$work/signed"
if ! { configure "$signed" -DKIT_SIGN_PFX="$ca/signer.pfx" -DKIT_SIGN_PASSWORD_FILE="$ca/password" &&
  cmake --build "$signed" --target dist -j2; } >"$work/signed.log" 2>&1; then
  echo "FAIL the signed build failed:"
  cat "$work/signed.log"
  exit 1
fi
for file in "$signed/dist"/*.exe "$signed/dist"/*.msi "$signed/bin/RemoveKit.exe"; do
  verify "$file"
done
check=""
for argument in "$@"; do
  check="$check '$(echo "$argument" | sed "s|@DIST@|$signed/dist|g; s|'|'\\\\''|g")'"
done
eval "$check" || fail "the signed files fail the release check"

# Under Wine, in a throwaway 32-bit Windows 7 prefix.
export WINEPREFIX="$work/prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}
trap cleanup EXIT
wineboot -i </dev/null >"$work/wine.log" 2>&1
wineserver -w
wine reg add 'HKCU\Software\Wine' /v Version /d win7 /f </dev/null >>"$work/wine.log" 2>&1
cp "$signed/dist"/*.exe "$signed/dist"/*.msi "$WINEPREFIX/drive_c/"
product="$WINEPREFIX/drive_c/Program Files/NORDAL_5120_USB_DRIVER"
status=0
wine 'C:\NORDAL_5120_USB_Driver_Setup.exe' /S </dev/null >>"$work/wine.log" 2>&1 || status=$?
if [ "$status" -ne 0 ] || [ ! -f "$product/uninstall.exe" ]; then
  fail "the signed setup did not install under Wine (exit code $status)"
else
  echo "installed under Wine: $(ls "$product" | tr '\n' ' ')"
  verify "$product/uninstall.exe"
  verify "$product/Quorlin.exe"
  command=$(wine reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Orvane_M4730_Driver' \
    /v QuietUninstallString 2>/dev/null | tr -d '\r' | sed -n 's/^ *QuietUninstallString *REG_SZ *//p')
  printf '@%s\r\n' "$command" >"$WINEPREFIX/drive_c/quiet_uninstall.cmd"
  status=0
  wine cmd /c 'C:\quiet_uninstall.cmd' </dev/null >>"$work/wine.log" 2>&1 || status=$?
  if [ "$status" -ne 0 ] || [ -e "$product" ]; then
    fail "the signed uninstall did not remove the kit under Wine (exit code $status)"
  else
    echo "uninstalled under Wine through the QuietUninstallString"
  fi
fi
status=0
wine msiexec /i 'C:\NORDAL_5120_USB_Driver.msi' /qn </dev/null >>"$work/wine.log" 2>&1 || status=$?
if [ "$status" -ne 0 ] || [ ! -f "$product/Quorlin.exe" ]; then
  fail "the signed Windows Installer package did not install under Wine (exit code $status)"
else
  status=0
  wine msiexec /x 'C:\NORDAL_5120_USB_Driver.msi' /qn </dev/null >>"$work/wine.log" 2>&1 || status=$?
  if [ "$status" -ne 0 ] || [ -e "$product" ]; then
    fail "the signed Windows Installer package did not remove the kit under Wine (exit code $status)"
  else
    echo "installed and removed under Wine through msiexec"
  fi
fi
output=$(wine 'C:\tracecap.exe' cmd /c exit 3 </dev/null 2>&1 | tr -d '\r' || true)
[ "$output" = "exit code: 3" ] || fail "the signed tracecap.exe does not run under Wine: $output"

# Refusals: nothing is built, or what could not be signed is gone.
# A build that must stop, with `text` in what it says (CMake wraps its
# messages: the words are looked for across line ends).
expect_refusal() {
  what=$1
  text=$2
  shift 2
  if "$@" >"$work/refusal.log" 2>&1; then
    fail "$what: the build went on"
  elif ! tr -s ' \n' '  ' <"$work/refusal.log" | grep -q "$text"; then
    fail "$what: no clear message"
    cat "$work/refusal.log"
  else
    echo "refused, as it should be: $what"
  fi
}
expect_refusal "a wrong password" "does not open" \
  configure "$work/wrong" -DKIT_SIGN_PFX="$ca/signer.pfx" -DKIT_SIGN_PASSWORD_FILE="$ca/wrong"
expect_refusal "a missing certificate file" "does not exist" \
  configure "$work/missing" -DKIT_SIGN_PFX="$ca/none.pfx" -DKIT_SIGN_PASSWORD_FILE="$ca/password"
expect_refusal "a password without a certificate" "needs both" \
  configure "$work/half" -DKIT_SIGN_PASSWORD_FILE="$ca/password"
# The password goes wrong after the configuration: the link's program goes.
changed="$work/changed"
cp "$ca/password" "$ca/changing"
configure "$changed" -DKIT_SIGN_PFX="$ca/signer.pfx" -DKIT_SIGN_PASSWORD_FILE="$ca/changing" >/dev/null 2>&1
cp "$ca/wrong" "$ca/changing"
expect_refusal "a password that stopped opening the certificate" "cannot sign" \
  cmake --build "$changed" --target Quorlin
if [ -e "$changed/bin/Quorlin.exe" ]; then
  fail "an unsigned Quorlin.exe was left where a signed one belongs"
fi
exit $failed
