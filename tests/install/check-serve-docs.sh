#!/usr/bin/env bash
# barwright-serve's manual and bash completion against the program itself:
# every option that `barwright-serve -h` lists must be documented in the
# manual and offered by the completion, every exit status and reply status
# explained, and the manual must lint clean.
# Usage: check-serve-docs.sh <barwright-serve executable> <source folder>
set -euo pipefail
exe=$1
source_dir=$2
manual=$source_dir/docs/barwright-serve.1
completion=$source_dir/completion/barwright-serve
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

lint=$(mandoc -Tlint -W style "$manual" 2>&1) || fail "mandoc -Tlint exits non-zero"
[ -z "$lint" ] || fail "mandoc -Tlint: $lint"

# "  -h, --help ..." and "      --listen ADDR:PORT ..." in the usage text.
mapfile -t options < <("$exe" -h | sed -n -e 's/^  -[a-z], \(--[a-z-]*\) .*/\1/p' \
    -e 's/^      \(--[a-z-]*\) .*/\1/p')
[ ${#options[@]} -ge 9 ] || fail "expected at least 9 options in the usage text, found ${#options[@]}"

# shellcheck source=/dev/null
source "$completion"
complete_word() {  # the completion's offers for the last of the given words
    COMP_WORDS=(barwright-serve "$@")
    COMP_CWORD=$#
    _barwright_serve
    echo "${COMPREPLY[*]-}"
}
offered=" $(complete_word -) "

for long in "${options[@]}"; do
    escaped=${long//-/\\\\-}
    grep -qE -- "^\.(BI?|BR \\\\-h \", \") ${escaped}( |$)" "$manual" ||
        fail "the manual lacks the entry '$long'"
    [[ $offered == *" $long "* ]] || fail "the completion does not offer $long"
done
[ -z "$(complete_word --threads '')" ] || fail "something offered after --threads"

for status in 0 64 69; do
    grep -qx "\.B $status" "$manual" || fail "the manual does not explain exit status $status"
done
for status in 400 404 405 413 414 431 503; do
    grep -qx "\.B $status" "$manual" || fail "the manual does not explain reply status $status"
done

[ $failures -eq 0 ] || exit 1
echo "manual and completion cover all ${#options[@]} options of barwright-serve"
