#!/usr/bin/env bash
# barwright-batch's manual and bash completion against the program itself:
# every option that `barwright-batch -h` lists, short and long, must be
# documented in the manual and offered by the completion, the manual must
# explain every exit status and lint clean.
# Usage: check-batch-docs.sh <barwright-batch executable> <source folder>
set -euo pipefail
exe=$1
source_dir=$2
manual=$source_dir/docs/barwright-batch.1
completion=$source_dir/completion/barwright-batch
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

lint=$(mandoc -Tlint -W style "$manual" 2>&1) || fail "mandoc -Tlint exits non-zero"
[ -z "$lint" ] || fail "mandoc -Tlint: $lint"

# Lines like "  -x, --xsize N      image width" and "      --input FILE   ..."
# in the usage text; a line without a short letter gives "- --input".
mapfile -t options < <("$exe" -h |
    sed -n -e 's/^  \(-[a-z0-9]\), \(--[a-z0-9-]*\) .*/\1 \2/p' \
        -e 's/^      \(--[a-z0-9-]*\) .*/- \1/p')
[ ${#options[@]} -ge 32 ] || fail "expected at least 32 options in the usage text, found ${#options[@]}"

# shellcheck source=/dev/null
source "$completion"
complete_word() {  # the completion's offers for the last of the given words
    COMP_WORDS=(barwright-batch "$@")
    COMP_CWORD=$#
    _barwright_batch
    echo "${COMPREPLY[*]-}"
}
offered=" $(complete_word -) "

for pair in "${options[@]}"; do
    short=${pair% *}
    long=${pair#* }
    # In the manual's source every dash is written \-.
    escaped=${long//-/\\-}
    if [ "$short" = - ]; then
        grep -qE -- "^\.BI? ${escaped//\\/\\\\}( |$)" "$manual" ||
            fail "the manual lacks the entry '$long'"
    else
        grep -q -- "^\.BR \\\\${short} \", \" ${escaped//\\/\\\\}" "$manual" ||
            fail "the manual lacks the entry '$short, $long'"
        [[ $offered == *" $short "* ]] || fail "the completion does not offer $short"
    fi
    [[ $offered == *" $long "* ]] || fail "the completion does not offer $long"
done

# Values with fixed choices are offered, and an option's argument is never
# taken for a file name.
[ "$(complete_word --format '')" = "png png1 svg eps txt pdf" ] || fail "no formats after --format"
[ "$(complete_word --sheet '')" = "a4 letter" ] || fail "no papers after --sheet"
[ "$(complete_word -o '')" = "0 90 180 270" ] || fail "no orientations after -o"
[ -z "$(complete_word --jobs '')" ] || fail "something offered after --jobs"
[ "$(complete_word --report /dev/nul)" = /dev/null ] || fail "no file offered after --report"

# Every exit status the program can give is explained.
for status in 0 1 2 5 6 7 8 9 10 11 12 14 15 25 26 28 64 66 71 73; do
    grep -qx "\.B $status" "$manual" || fail "the manual does not explain exit status $status"
done

[ $failures -eq 0 ] || exit 1
echo "manual and completion cover all ${#options[@]} options of barwright-batch"
