#!/usr/bin/env bash
# The manual and the bash completion against the program itself: every
# option that `barwright -h` lists, short and long, must be documented in
# the manual and offered by the completion, and the manual must lint clean.
# Usage: check-docs.sh <barwright executable> <source folder>
set -euo pipefail
exe=$1
source_dir=$2
manual=$source_dir/docs/barwright.1
completion=$source_dir/completion/barwright
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# mandoc reports style remarks too; the manual must give none at all.
lint=$(mandoc -Tlint -W style "$manual" 2>&1) || fail "mandoc -Tlint exits non-zero"
[ -z "$lint" ] || fail "mandoc -Tlint: $lint"

# Lines like "   -x --xsize       Barcode image width." in the usage text.
mapfile -t options < <("$exe" -h | sed -n 's/^ *\(-[a-z]\) \(--[a-z0-9]*\) .*/\1 \2/p')
[ ${#options[@]} -eq 17 ] || fail "expected 17 options in the usage text, found ${#options[@]}"

# shellcheck source=/dev/null
source "$completion"
complete_word() {  # the completion's offers for the last of the given words
    COMP_WORDS=(barwright "$@")
    COMP_CWORD=$#
    _barwright
    echo "${COMPREPLY[*]-}"
}
offered=" $(complete_word -) "

for pair in "${options[@]}"; do
    short=${pair% *}
    long=${pair#* }
    # In the manual's source a dash is written \-.
    grep -q -- "^\.BR \\\\${short} \", \" \\\\-\\\\${long#-}" "$manual" ||
        fail "the manual lacks the entry '$short, $long'"
    [[ $offered == *" $short "* ]] || fail "the completion does not offer $short"
    [[ $offered == *" $long "* ]] || fail "the completion does not offer $long"
done

# Values with fixed choices are offered, and an option's argument is never
# taken for a file name.
[ "$(complete_word -o '')" = "0 90 180 270" ] || fail "no orientations after -o"
[ "$(complete_word --mode '')" = "0 1 2 3" ] || fail "no modes after --mode"
[ -z "$(complete_word -d '')" ] || fail "something offered as data after -d"

# The exit statuses that the manual names are exactly those the program
# has messages for.
for status in 0 1 2 5 6 7 8 9 10 11 12 14 15 24 25 26 28; do
    grep -qx "\.B $status" "$manual" || fail "the manual does not explain exit status $status"
done

[ $failures -eq 0 ] || exit 1
echo "manual and completion cover all ${#options[@]} options"
