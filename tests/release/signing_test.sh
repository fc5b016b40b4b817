#!/usr/bin/env bash
# Authenticode signing with a throwaway self-signed code-signing certificate: the build's
# signing script signs copies of the program and the installer, osslsigncode verifies that
# the signature covers each file, one changed byte breaks it, and the unsigned files are
# left as they were. The signed program is left in SIGNED_DIR for the Wine test to run.
#   signing_test.sh BUILD_DIR SIGNED_DIR
set -uo pipefail
build=$1 signed=$2
here=$(dirname "$0")
. "$here/../tools/desktop.sh"  # the scratch folder and the checks
exe=$build/win32/salestax.exe
msi=$(ls "$build"/packages/*.msi)

# A certificate for code signing only, valid for two days, in a PKCS#12 file with a password.
openssl req -x509 -newkey rsa:3072 -sha256 -nodes -days 2 -subj "/CN=Sales Tax Calculator test signer" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=critical,codeSigning" \
  -keyout "$scratch/key.pem" -out "$scratch/cert.pem" 2>/dev/null || give_up "openssl made no certificate"
export SALESTAX_SIGNING_PASSWORD=throwaway-$RANDOM SALESTAX_SIGNING_PKCS12=$scratch/signer.p12
openssl pkcs12 -export -inkey "$scratch/key.pem" -in "$scratch/cert.pem" -out "$SALESTAX_SIGNING_PKCS12" \
  -passout env:SALESTAX_SIGNING_PASSWORD || give_up "openssl made no PKCS#12 file"
unset SALESTAX_TIMESTAMP_URL

rm -rf "$signed"; mkdir -p "$signed"
sums_before=$(sha256sum "$exe" "$msi")
check "the program is signed" "$build/packaging/sign" "$exe" "$signed/salestax.exe"
check "the installer is signed" "$build/packaging/sign" "$msi" "$signed/salestax.msi"
check "the unsigned files are left as they were" eval '[ "$(sha256sum "$exe" "$msi")" = "$sums_before" ]'

verify() { osslsigncode verify -CAfile "$scratch/cert.pem" -in "$1" >"$scratch/verify.txt" 2>&1; }
for file in salestax.exe salestax.msi; do
  verify "$signed/$file"; status=$?
  echo "osslsigncode verify $file:"; sed 's/^/  /' "$scratch/verify.txt"
  check "$file: the signature verifies and covers the file" eval \
    '[ $status -eq 0 ] && grep -q "^Signature verification: ok" "$scratch/verify.txt"'
  check "$file: it names the product and uses SHA-256" eval \
    'grep -q "Text description: Sales Tax Calculator" "$scratch/verify.txt" && grep -q "digest algorithm *: SHA256" "$scratch/verify.txt"'
done

# One byte changed: in the program's code, and in the installer's string pool (the home page).
flip_byte() { # file, offset: a copy with that byte's lowest bit changed
  python3 -c 'import sys; p, o = sys.argv[1], int(sys.argv[2]); b = bytearray(open(p, "rb").read()); b[o] ^= 1; open(sys.argv[3], "wb").write(b)' \
    "$1" "$2" "$3"
}
flip_byte "$signed/salestax.exe" 4096 "$scratch/changed.exe"
broken() { ! verify "$1" && grep -qE "(message digest|DigitalSignature) *:.*MISMATCH" "$scratch/verify.txt"; }
check "salestax.exe: one changed byte breaks the signature" broken "$scratch/changed.exe"
offset=$(grep -abo salestaxcalculator "$signed/salestax.msi" | head -n 1 | cut -d: -f1)
flip_byte "$signed/salestax.msi" "${offset:-0}" "$scratch/changed.msi"
check "salestax.msi: one changed byte breaks the signature" eval '[ -n "$offset" ] && broken "$scratch/changed.msi"'

osslsigncode remove-signature -in "$signed/salestax.exe" -out "$scratch/stripped.exe" >/dev/null 2>&1
check "the signed program less its signature is the unsigned one" cmp -s "$scratch/stripped.exe" "$exe"
finish
