#!/usr/bin/env bash
# Signs a Windows executable with the maker's code-signing certificate (Authenticode, SHA-256),
# with Debian's osslsigncode, then verifies what it wrote.
#
#   tools/sign_exe.sh IN.exe OUT.exe "DESCRIPTION" URL
#
#   KW_SIGN_PKCS12          the certificate and its key (a .p12/.pfx file)
#   KW_SIGN_PASSWORD_FILE   a file holding the key's password (never passed on a command line)
#   KW_SIGN_TIMESTAMP_URL   optional: a timestamp server (RFC 3161)
#   KW_SIGN_CA_FILE         optional: the CA to verify against (a test CA; by default the system's)
#   SOURCE_DATE_EPOCH       the signing time written into the signature, so signing twice gives
#                           the same bytes
#
# On any failure OUT.exe does not exist afterwards, and the exit status is not zero.
set -euo pipefail
in=$1 out=$2 description=$3 url=$4
: "${KW_SIGN_PKCS12:?KW_SIGN_PKCS12 names the certificate}"
: "${KW_SIGN_PASSWORD_FILE:?KW_SIGN_PASSWORD_FILE names the password file}"
: "${SOURCE_DATE_EPOCH:?SOURCE_DATE_EPOCH is the signing time}"

rm -f "$out"
fail() { rm -f "$out" "$out.tmp"; echo "sign: $*" >&2; exit 1; }

[ -r "$KW_SIGN_PKCS12" ] || fail "cannot read the certificate $KW_SIGN_PKCS12"
[ -r "$KW_SIGN_PASSWORD_FILE" ] || fail "cannot read the password file $KW_SIGN_PASSWORD_FILE"

# The certificate must be valid now and at the signing time: an expired one would make an
# installer that Windows warns about. The password goes to openssl as a file, never as an argument.
cert=$(openssl pkcs12 -in "$KW_SIGN_PKCS12" -passin "file:$KW_SIGN_PASSWORD_FILE" -nokeys -clcerts 2>/dev/null) \
    || fail "the certificate $KW_SIGN_PKCS12 cannot be opened: wrong password or not a PKCS#12 file"
openssl x509 -noout -checkend 0 <<<"$cert" >/dev/null \
    || fail "the certificate has expired ($(openssl x509 -noout -enddate <<<"$cert" | cut -d= -f2)); renew it"
not_before=$(date -d "$(openssl x509 -noout -startdate <<<"$cert" | cut -d= -f2)" +%s)
[ "$not_before" -le "$SOURCE_DATE_EPOCH" ] \
    || fail "the certificate is valid only from $(date -u -d "@$not_before"), after the signing time $(date -u -d "@$SOURCE_DATE_EPOCH") (SOURCE_DATE_EPOCH)"

timestamp=()
if [ -n "${KW_SIGN_TIMESTAMP_URL:-}" ]; then
    timestamp=(-ts "$KW_SIGN_TIMESTAMP_URL")
fi

osslsigncode sign -pkcs12 "$KW_SIGN_PKCS12" -readpass "$KW_SIGN_PASSWORD_FILE" -h sha256 \
    -n "$description" -i "$url" -time "$SOURCE_DATE_EPOCH" "${timestamp[@]}" \
    -in "$in" -out "$out.tmp" > "$out.log" 2>&1 \
    || { sed 's/^/sign: /' "$out.log" >&2; rm -f "$out.log"; fail "osslsigncode could not sign $in"; }
rm -f "$out.log"

verify=(osslsigncode verify -in "$out.tmp" -time "$SOURCE_DATE_EPOCH")
if [ -n "${KW_SIGN_CA_FILE:-}" ]; then
    verify+=(-CAfile "$KW_SIGN_CA_FILE")
fi
"${verify[@]}" > "$out.log" 2>&1 || { sed 's/^/sign: /' "$out.log" >&2; rm -f "$out.log"; fail "the signed file does not verify"; }
rm -f "$out.log"
mv "$out.tmp" "$out"
echo "sign: signed and verified $out"
