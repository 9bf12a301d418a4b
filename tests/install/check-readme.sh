#!/usr/bin/env bash
# The C++ examples shown must be the files the install test compiles and
# runs, verbatim: the README's (under "## The library") is
# examples/hello.cpp, the library guide's (under "## Use it from C++",
# docs/library.md) examples/encode.cpp. Both include barwright/barwright.h.
# Usage: check-readme.sh <source folder>
set -euo pipefail
source_dir=$1
failures=0

# The first ```cpp block after the heading.
shownExample() {  # markdown file, heading
    awk -v heading="$2" '$0 == heading { section = 1; next }
                         section && /^```cpp$/ { inside = 1; next }
                         inside && /^```$/ { exit }
                         inside { print }' "$1"
}

check() {  # markdown file, heading, example file
    local shown
    shown=$(shownExample "$source_dir/$1" "$2")
    if [ -z "$shown" ]; then
        echo "FAIL: $1 has no cpp block under '$2'" >&2
        failures=$((failures + 1))
    elif ! diff -u "$source_dir/$3" <(printf '%s\n' "$shown"); then
        echo "FAIL: the example of $1 differs from $3" >&2
        failures=$((failures + 1))
    elif ! grep -qx '#include <barwright/barwright.h>' "$source_dir/$3"; then
        echo "FAIL: $3 does not include barwright/barwright.h" >&2
        failures=$((failures + 1))
    fi
}

check README.md "## The library" examples/hello.cpp
check docs/library.md "## Use it from C++" examples/encode.cpp
# The newcomer's page stays short; the rest lives in docs/ and the manuals.
size=$(wc -c <"$source_dir/README.md")
if [ "$size" -gt 15000 ]; then
    echo "FAIL: README.md has $size bytes, more than 15,000" >&2
    failures=$((failures + 1))
fi
[ $failures -eq 0 ] || exit 1
echo "README.md and docs/library.md show their examples verbatim; the README has $size bytes"
