#!/usr/bin/env bash
# Every catalogue under translations/ is complete and current: each text the sources give to tr()
# has a finished translation, and the catalogue holds no text the sources no longer have.
# lupdate brings a scratch copy of each catalogue up to date, as scripts/update-translations
# does; the copy must then equal the committed catalogue and have no unfinished entry.
#   check-translations.sh SOURCE_FOLDER LUPDATE
set -uo pipefail
cd "$1" || exit 1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
for catalogue in translations/quillet_*.ts; do
    copy="$scratch/$(basename "$catalogue")"
    cp "$catalogue" "$copy"
    "$2" -silent -I . -locations none -no-obsolete app browser documents editor platform -ts "$copy" 2>/dev/null ||
        { echo "lupdate failed on $catalogue"; failed=1; continue; }
    if ! diff -u "$catalogue" "$copy" >"$scratch/diff"; then
        echo "$catalogue is not current (run scripts/update-translations):"
        grep '^[-+] *<source>' "$scratch/diff"
        failed=1
    fi
    # An entry lupdate added, or one left untranslated, is unfinished or empty.
    if grep -n -B3 -E '<translation type="unfinished"|<translation></translation>|<translation/>' "$copy" |
        grep '<source>'; then
        echo "$catalogue has unfinished translations (above)"
        failed=1
    fi
done
exit "$failed"
