#!/usr/bin/env bash
# The Debian package as a user gets it. cpack makes it from the build folder
# into a scratch folder (twice: the two must be the same bytes); then its
# control fields, its exact file list with owners and modes, lintian, and both
# programs run from the unpacked tree, their symbols read back by zxing-cpp.
# With CI=true (a disposable machine) it is also installed with dpkg, used
# through man and the programs, and removed, and nothing of it may remain.
# Usage: check-package.sh <build folder> <source folder> <library folder under
#        /usr> <build type> <cpack>
set -euo pipefail
build_dir=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
libdir=$3
build_type=$(tr '[:upper:]' '[:lower:]' <<<"$4")
cpack=$5
readme=$source_dir/README.md

scratch=$(mktemp -d)
installed_here=false
cleanup() {
    if $installed_here; then
        dpkg -r barwright >/dev/null 2>&1 || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
deb_name=barwright_${version}_$(dpkg --print-architecture).deb
make_package() {  # folder
    if ! "$cpack" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$1" >"$1.log" 2>&1; then
        cat "$1.log" >&2
        echo "FAIL: cpack could not make the package" >&2
        exit 1
    fi
    [ -f "$1/$deb_name" ] || { echo "FAIL: cpack made no $deb_name" >&2; exit 1; }
}
make_package "$scratch/first"
make_package "$scratch/second"
deb=$scratch/first/$deb_name
cmp -s "$deb" "$scratch/second/$deb_name" || fail "two builds of the package differ"

root=$scratch/root
dpkg-deb -x "$deb" "$root"

# The programs' real dynamic dependencies, from their ELF headers.
needed=$(for program in "$root"/usr/bin/*; do objdump -p "$program"; done |
    awk '$1 == "NEEDED" { print $2 }' | sort -u)

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = barwright ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), not $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
    fail "Architecture: $(field Architecture)"
[ "$(field Section)" = graphics ] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" =~ ^[^\<\>]+\ \<[^\<\>@\ ]+@[^\<\>@\ ]+\>$ ]] ||
    fail "Maintainer is no name and address: $(field Maintainer)"
description=$(field Description)
[ "$(wc -l <<<"$description")" -gt 2 ] && [[ $description == *barwright-batch* ]] ||
    fail "Description has no summary and text naming both programs: $description"
# Depends names exactly the packages of the shared libraries the programs
# load: none for static programs.
depends=$(field Depends)
owners=$(
    for library in $needed; do
        path=$(ldconfig -p | awk -v name="$library" '$1 == name && !found { print $NF; found = 1 }')
        owner=
        # dpkg knows a file by the path its package gave, /lib or /usr/lib.
        for candidate in ${path:+"$path" "/usr$path" "${path#/usr}"}; do
            owner=$(dpkg -S "$candidate" 2>/dev/null | sed -n '1s/[:,].*//p' || true)
            [ -z "$owner" ] || break
        done
        echo "${owner:-(no package has $library)}"
    done | sort -u
)
depended=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends" | sed '/^$/d' | sort -u)
[ "$depended" = "$owners" ] ||
    fail "Depends: '$depends', but the programs load libraries of: ${owners:-nothing}"

# Exactly these files, owned by root, executables 755, everything else 644
# and folders 755.
expected=$(
    cd "$source_dir"
    echo usr/bin/barwright usr/bin/barwright-batch
    for header in include/barwright/*.h; do echo "usr/$header"; done
    echo "usr/$libdir/libbarwright.a" "usr/$libdir/pkgconfig/barwright.pc"
    for file in Config ConfigVersion Targets "Targets-$build_type"; do
        echo "usr/$libdir/cmake/barwright/barwright$file.cmake"
    done
    echo usr/share/bash-completion/completions/barwright
    echo usr/share/bash-completion/completions/barwright-batch
    echo usr/share/doc/barwright/changelog.Debian.gz usr/share/doc/barwright/copyright
    echo usr/share/man/man1/barwright.1.gz usr/share/man/man1/barwright-batch.1.gz
    # Only static programs need lintian told that they are meant so.
    [ -n "$needed" ] || echo usr/share/lintian/overrides/barwright
)
expected=$(tr ' ' '\n' <<<"$expected" | sort)
dpkg-deb -c "$deb" >"$scratch/contents"
actual=$(awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' "$scratch/contents" | sort)
if [ "$actual" != "$expected" ]; then
    fail "the package's files differ from those expected (- expected, + packaged):"
    diff <(echo "$expected") <(echo "$actual") | sed -n 's/^</  -/p; s/^>/  +/p' >&2 || true
fi
awk '$2 != "root/root" { print "owned by " $2 ": " $6 }
     $1 ~ /^d/ && $1 != "drwxr-xr-x" { print "folder " $1 ": " $6 }
     $1 ~ /^-/ && $6 ~ /^\.\/usr\/bin\// && $1 != "-rwxr-xr-x" { print "program " $1 ": " $6 }
     $1 ~ /^-/ && $6 !~ /^\.\/usr\/bin\// && $1 != "-rw-r--r--" { print "file " $1 ": " $6 }
     $1 !~ /^[-d]/ { print "neither file nor folder: " $6 }' "$scratch/contents" >"$scratch/modes"
[ ! -s "$scratch/modes" ] || fail "$(cat "$scratch/modes")"

# Nothing in it may name the folders it was built in.
for folder in "$build_dir" "$source_dir"; do
    embedded=$(grep -rlF -- "$folder" "$root" || true)
    [ -z "$embedded" ] || fail "these files hold the path $folder: $embedded"
done

# lintian, as scripts/package runs it: no error, no warning but those the
# README's list explains, and nothing on standard error (as root, no warning
# about running as root).
"$source_dir/scripts/lintian" "$deb" >"$scratch/lintian" 2>"$scratch/lintian-errors" || true
cat "$scratch/lintian"
[ ! -s "$scratch/lintian-errors" ] || fail "lintian said: $(cat "$scratch/lintian-errors")"
accepted=$(awk '/^### Accepted lintian warnings/ { inside = 1; next }
                inside && /^#/ { exit }
                inside && /^- `/ { split($0, part, "`"); print part[2] }' "$readme")
grep -q '^E: ' "$scratch/lintian" && fail "lintian reports errors"
while read -r tag; do
    grep -qxF -- "$tag" <<<"$accepted" ||
        fail "lintian warns $tag, which the README's accepted warnings do not explain"
done < <(awk '$1 == "W:" { print $3 }' "$scratch/lintian" | sort -u)

# A program writes a symbol whose data a decoder reads back.
decodes() {  # name, expected data, program and arguments...
    local name=$1 data=$2
    shift 2
    if ! "$@" >"$scratch/$name.out" 2>&1; then
        fail "$name: $* failed: $(cat "$scratch/$name.out")"
        return
    fi
    local read
    read=$(ZXingReader -format PDF417 -bytes "$scratch/$name.png" 2>&1) || true
    [ "$read" = "$data" ] || fail "$name: the decoder read '$read', not '$data'"
}
decodes unpacked-barwright "from the package" \
    "$root/usr/bin/barwright" -d "from the package" "$scratch/unpacked-barwright.png"
decodes unpacked-batch "batch from the package" \
    "$root/usr/bin/barwright-batch" -d "batch from the package" "$scratch/unpacked-batch.png"

if [ "${CI:-}" != true ]; then
    echo "dpkg -i, man, barwright -h and dpkg -r of the package: for CI only (CI=true, a" \
        "disposable machine), not run here"
else
    # What the package would add to the system: its paths not there before.
    awk '{ sub(/^\./, "", $6); sub(/\/$/, "", $6); if ($6 != "") print $6 }' "$scratch/contents" |
        sort >"$scratch/packaged"
    while read -r path; do
        [ -e "$path" ] || [ -L "$path" ] || echo "$path"
    done <"$scratch/packaged" >"$scratch/new-paths"
    # Whatever a run before left installed is replaced, and removed at the end.
    dpkg -i "$deb" >"$scratch/dpkg-i.log" 2>&1 || { cat "$scratch/dpkg-i.log" >&2; exit 1; }
    installed_here=true
    dpkg -L barwright | grep -vx '/\.' | sort | diff -q - "$scratch/packaged" >/dev/null ||
        fail "dpkg -L barwright lists other paths than the package holds"
    # The commands as a user types them, which must find the package's programs.
    for program in barwright barwright-batch; do
        [ "$(command -v "$program")" = "/usr/bin/$program" ] ||
            fail "$program is found as $(command -v "$program"), not /usr/bin/$program"
    done
    for page in barwright barwright-batch; do
        page_text=$(man "$page" 2>/dev/null || true)
        grep -Eq "^ *$page +- " <<<"$page_text" || fail "man $page shows no manual page"
    done
    barwright -h >"$scratch/usage" 2>&1 || fail "barwright -h exits $?"
    grep -q -- '--xsize' "$scratch/usage" || fail "barwright -h prints no usage: $(cat "$scratch/usage")"
    decodes installed-barwright "installed" barwright -d installed "$scratch/installed-barwright.png"
    decodes installed-batch "installed batch" \
        barwright-batch -d "installed batch" "$scratch/installed-batch.png"
    dpkg -r barwright >"$scratch/dpkg-r.log" 2>&1 || { cat "$scratch/dpkg-r.log" >&2; exit 1; }
    installed_here=false
    dpkg-query -W -f='${db:Status-Status}' barwright 2>/dev/null | grep -qx installed &&
        fail "dpkg still lists barwright as installed"
    while read -r path; do
        [ ! -e "$path" ] && [ ! -L "$path" ] || fail "left after dpkg -r: $path"
    done <"$scratch/new-paths"
    echo "installed with dpkg -i, used, and removed with dpkg -r"
fi

[ $failures -eq 0 ] || exit 1
echo "package $deb_name: files, fields, lintian and both programs as expected"
