#!/usr/bin/env bash
# A clone stands alone: no committed file may point at the developers' folder
# that sits beside the repository on their machines, since a user's clone has
# nothing beside it and a build, test or script that reads it fails there.
# Checks the files git tracks when the source is a git checkout, else every
# file of the tree outside build folders.
# Usage: check-self-contained.sh <source folder>
set -euo pipefail
source_dir=$(cd "$1" && pwd -P)

# Put together at run time so that this script's own text does not match.
pattern="..""/shared"

list_files() {
    local top
    if top=$(git -C "$source_dir" rev-parse --show-toplevel 2>/dev/null) &&
        [ "$(cd "$top" && pwd -P)" = "$source_dir" ]; then
        git -C "$source_dir" ls-files -z
    else
        (cd "$source_dir" && find . \( -path ./.git -o -path './build*' -o -path ./out \) -prune \
            -o -type f -printf '%P\0')
    fi
}

# grep -s: a tracked file deleted in the work tree is not a reference.
offenders=$(cd "$source_dir" && list_files | xargs -0 -r grep -l -s -F -e "$pattern" -- || true)
if [ -n "$offenders" ]; then
    echo "FAIL: these files refer to '$pattern', which a clone does not have beside it;" >&2
    echo "keep what they need inside the repository (e.g. data/):" >&2
    sed 's/^/  /' <<<"$offenders" >&2
    exit 1
fi
echo "no file refers to '$pattern'"
