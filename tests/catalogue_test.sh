#!/bin/bash
# The Japanese catalogue is complete: lupdate over the marked sources adds no text to translate
# and finds none that the sources no longer have, and leaves the catalogue as it is committed.
#   catalogue_test.sh LUPDATE CATALOGUE.ts SOURCES.lst LUPDATE_OPTIONS...
set -euo pipefail
lupdate=$1 catalogue=$2 sources=$3
shift 3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$catalogue" "$scratch/catalogue.ts"
if ! "$lupdate" "$@" "@$sources" -ts "$scratch/catalogue.ts" >"$scratch/log" 2>&1; then
    cat "$scratch/log"
    exit 1
fi
status=0
if grep -q -E 'type="(unfinished|vanished|obsolete)"' "$scratch/catalogue.ts"; then
    echo "texts without a translation, or no longer in the sources:"
    grep -B2 -E 'type="(unfinished|vanished|obsolete)"' "$scratch/catalogue.ts" |
        grep '<source>' | sed 's/^ */  /'
    status=1
fi
if ! diff -u "$catalogue" "$scratch/catalogue.ts"; then
    echo "the catalogue differs from lupdate's: run the target k720_translations_lupdate"
    status=1
fi
exit $status
