#!/usr/bin/env bash
# The translators' round trip through gettext's and translate-toolkit's own tools: msgfmt -c
# takes every POT and PO the tool writes, xmllint every XLIFF; a translation merged with
# msgmerge into an updated template imports as expected (a changed base text fuzzy and left
# out, a new ID untranslated, a removed ID obsolete); msgfilter's edits come back; pocount and
# xliff2po count the units the tool wrote. Exits 77 (skipped) when a tool is missing.
# Usage: translators_round_trip.sh RIL4410 EXAMPLES_DIR WORK_DIR
set -euo pipefail
tool=$1 examples=$2 work=$3
for program in msgfmt msgmerge msginit msgen msgfilter pocount xliff2po xmllint; do
    if ! command -v "$program" >/dev/null; then
        echo "SKIPPED: $program is not installed (scripts/deps.sh test installs it)"
        exit 77
    fi
done
rm -rf "$work" && mkdir -p "$work" && cd "$work"
export SOURCE_DATE_EPOCH=1767225600 LC_ALL=C.UTF-8
fail() { echo "FAILED: $*" >&2; exit 1; }

# The shipped examples: every POT, PO and XLIFF is accepted and counted alike.
"$tool" import --code-page 936 "$examples/notepad.txt" gbk.bin
"$tool" import "$examples/notepad_wide.txt" wide.bin
"$tool" import --utf8 "$examples/notepad_utf8.txt" utf8.bin
# shellcheck disable=SC2086 # $options holds several words
for table in "gbk --code-page 936" "wide" "utf8 --utf8"; do
    read -r name options <<<"$table"
    "$tool" export $options --format pot "$name.bin" "$name.pot"
    "$tool" export $options --format po --base "$name.bin" "$name.bin" "$name.fr.po"
    "$tool" export $options --format xliff --base "$name.bin" "$name.bin" "$name.fr.xlf"
    msgfmt -c -o /dev/null "$name.pot" 2>/dev/null || fail "msgfmt -c refuses $name.pot"
    msgfmt -c -o /dev/null "$name.fr.po" 2>/dev/null || fail "msgfmt -c refuses $name.fr.po"
    xmllint --noout "$name.fr.xlf" || fail "xmllint refuses $name.fr.xlf"
    items=$("$tool" dump $options "$name.bin" | wc -l)
    for file in "$name.fr.po" "$name.fr.xlf"; do
        counted=$(pocount --csv "$file" | awk -F, 'NR == 2 { print $9 }' | tr -d ' ')
        [[ $counted == "$items" ]] || fail "pocount counts $counted units in $file, not $items"
    done
    xliff2po "$name.fr.xlf" "$name.from-xliff.po" >/dev/null 2>&1
    converted=$(grep -c '^msgid "' "$name.from-xliff.po")
    [[ $converted == $((items + 1)) ]] || fail "xliff2po makes $converted messages of $items units"
done

# A template, a French PO from it, filtered, then the base changes and msgmerge updates it.
printf 'RilStringID=1;RilStringMacro=KEEP\n{Keep &001}\nRilStringID=2;RilStringMacro=CHANGE\n{Open the file}\nRilStringID=3;RilStringMacro=GONE\n{Gone}\n' >base1.txt
printf 'RilStringID=1;RilStringMacro=KEEP\n{Keep &001}\nRilStringID=2;RilStringMacro=CHANGE\n{Open the files}\nRilStringID=4;RilStringMacro=ADDED\n{Added}\n' >base2.txt
"$tool" import --utf8 base1.txt base1.bin
"$tool" import --utf8 base2.txt base2.bin
"$tool" export --utf8 --format pot base1.bin base1.pot
msginit --no-translator -l fr_FR.UTF-8 -i base1.pot -o - 2>/dev/null | msgen - |
    msgfilter --keep-header -o fr.po sed -e 's/^/FR:/'
"$tool" import --utf8 --format po fr.po fr.bin
[[ $("$tool" dump --utf8 fr.bin) == $'1\tKEEP\tFR:Keep &001\n2\tCHANGE\tFR:Open the file\n3\tGONE\tFR:Gone' ]] ||
    fail "msgfilter's edits do not come back"
"$tool" export --utf8 --format pot base2.bin base2.pot
msgmerge -q fr.po base2.pot -o fr2.po
grep -q '^#~ msgctxt "GONE"' fr2.po || fail "the removed ID is not obsolete"
"$tool" import --utf8 --format po --base base2.bin fr2.po merged.bin
[[ $("$tool" dump --utf8 merged.bin) == $'1\tKEEP\tFR:Keep &001' ]] ||
    fail "the merged PO imports as: $("$tool" dump --utf8 merged.bin)"
"$tool" import --utf8 --use-fuzzy --format po --base base2.bin fr2.po fuzzy.bin
[[ $("$tool" dump --utf8 fuzzy.bin) == $'1\tKEEP\tFR:Keep &001\n2\tCHANGE\tFR:Open the file' ]] ||
    fail "--use-fuzzy does not take the fuzzy entry"
# The translation of the old base holds GONE, which the new base lacks: an error at its line.
if "$tool" import --utf8 --format po --base base2.bin fr.po refused.bin 2>err.txt; then
    fail "an entry the base lacks is taken"
fi
grep -q "^ril4410: fr.po:[0-9]*:1: error: the base table holds no item GONE$" err.txt ||
    fail "unexpected message: $(cat err.txt)"
[[ ! -e refused.bin ]] || fail "a refused import wrote its BIN"
echo "translators' round trip: ok"
