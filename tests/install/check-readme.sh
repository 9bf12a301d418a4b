#!/usr/bin/env bash
# The README's C++ example must be examples/encode.cpp verbatim, since that
# file is what the install test compiles and runs.
# Usage: check-readme.sh <source folder>
set -euo pipefail
source_dir=$1
# The first ```cpp block after the heading "## Use it from C++".
shown=$(awk '/^## Use it from C\+\+/ { section = 1; next }
             section && /^```cpp$/ { inside = 1; next }
             inside && /^```$/ { exit }
             inside { print }' "$source_dir/README.md")
if [ -z "$shown" ]; then
    echo "FAIL: README.md has no cpp block under '## Use it from C++'" >&2
    exit 1
fi
if ! diff -u "$source_dir/examples/encode.cpp" <(printf '%s\n' "$shown"); then
    echo "FAIL: the README's example differs from examples/encode.cpp" >&2
    exit 1
fi
echo "the README shows examples/encode.cpp verbatim"
