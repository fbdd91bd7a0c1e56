#!/usr/bin/env bash
# Writes a package file with OpenSSL alone, as an independent check of the cipher:
# the text of <plain-file> as one archived string (length prefix, then the bytes),
# encrypted with RC2-CBC under the MD5 hash of the configuration pass phrase, zero IV.
#   openssl-package.sh <PackageFormat.h> <plain-file> <out-file>
set -euo pipefail
header="$1" plain="$2" out="$3"

# The pass phrase is the concatenated string pieces of configPassPhrase; only \t and \n
# escapes occur in it.
phrase="$(sed -n '/configPassPhrase\[\]/,/;$/p' "$header" | grep -o '"[^"]*"' | tr -d '"\n')"
[ "$(printf '%b' "$phrase" | wc -c)" -eq 121 ] || { echo "pass phrase not found in $header" >&2; exit 1; }
key="$(printf '%b' "$phrase" | md5sum | cut -c1-32)"

# Length prefix: one byte below 255, else 0xFF and a little-endian 16-bit length.
length="$(wc -c <"$plain")"
[ "$length" -lt 65534 ] || { echo "plain text too long" >&2; exit 1; }
octal() { printf '\\%03o' "$1"; }
if [ "$length" -lt 255 ]; then
  prefix="$(octal "$length")"
else
  prefix="\\377$(octal $((length & 255)))$(octal $((length >> 8)))"
fi
{ printf '%b' "$prefix"; cat "$plain"; } |
  openssl enc -rc2-cbc -K "$key" -iv 0000000000000000 -provider legacy -provider default -out "$out"
