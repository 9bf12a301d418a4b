#!/usr/bin/env bash
# The Debian packages as a user gets them. cpack makes them from the build
# folder into a scratch folder (twice: the two must be the same bytes); then
# their control fields, their exact file lists with owners and modes, lintian,
# both programs run from the unpacked tree and the Python module imported from
# it, their symbols read back by zxing-cpp. With CI=true (a disposable
# machine) they are also installed with dpkg, used through man, the programs
# and python3, and removed, and nothing of them may remain.
# Usage: check-package.sh <build folder> <source folder> <library folder under
#        /usr> <build type> <cpack> [<Python module folder under /usr> <python3>]
# (the last two when the Python module is built, and so packaged).
set -euo pipefail
build_dir=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
libdir=$3
build_type=$(tr '[:upper:]' '[:lower:]' <<<"$4")
cpack=$5
pythondir=${6:-}
python=${7:-}
readme=$source_dir/docs/packaging.md

scratch=$(mktemp -d)
installed_here=false
serve_pid=
packages=(barwright)
[ -z "$pythondir" ] || packages+=(python3-barwright)
cleanup() {
    # A service left running would hold ctest's pipe open until its timeout.
    if [ -n "$serve_pid" ]; then
        kill "$serve_pid" 2>/dev/null || true
    fi
    if $installed_here; then
        dpkg -r "${packages[@]}" >/dev/null 2>&1 || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
debs=()
for package in "${packages[@]}"; do
    debs+=("${package}_${version}_$(dpkg --print-architecture).deb")
done
make_packages() {  # folder
    if ! "$cpack" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$1" >"$1.log" 2>&1; then
        cat "$1.log" >&2
        echo "FAIL: cpack could not make the packages" >&2
        exit 1
    fi
    for deb_name in "${debs[@]}"; do
        [ -f "$1/$deb_name" ] || { echo "FAIL: cpack made no $deb_name" >&2; exit 1; }
    done
}
make_packages "$scratch/first"
make_packages "$scratch/second"
for deb_name in "${debs[@]}"; do
    cmp -s "$scratch/first/$deb_name" "$scratch/second/$deb_name" ||
        fail "two builds of $deb_name differ"
done
deb=$scratch/first/${debs[0]}

root=$scratch/root
dpkg-deb -x "$deb" "$root"
python_deb=
if [ -n "$pythondir" ]; then
    python_deb=$scratch/first/${debs[1]}
    python_root=$scratch/python-root
    dpkg-deb -x "$python_deb" "$python_root"
fi

# Shared libraries that ELF files load, from their headers.
needed_by() { for file in "$@"; do objdump -p "$file"; done | awk '$1 == "NEEDED" { print $2 }' | sort -u; }
needed=$(needed_by "$root"/usr/bin/*)

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
common_fields() {  # deb, package, section
    local package section
    package=$(dpkg-deb -f "$1" Package)
    section=$(dpkg-deb -f "$1" Section)
    [ "$package" = "$2" ] || fail "Package: $package, not $2"
    [ "$(dpkg-deb -f "$1" Version)" = "$version" ] || fail "$2: Version, not $version"
    [ "$(dpkg-deb -f "$1" Architecture)" = "$(dpkg --print-architecture)" ] ||
        fail "$2: Architecture $(dpkg-deb -f "$1" Architecture)"
    [ "$section" = "$3" ] || fail "$2: Section $section, not $3"
    [[ "$(dpkg-deb -f "$1" Maintainer)" =~ ^[^\<\>]+\ \<[^\<\>@\ ]+@[^\<\>@\ ]+\>$ ]] ||
        fail "$2: Maintainer is no name and address: $(dpkg-deb -f "$1" Maintainer)"
}
common_fields "$deb" barwright graphics
description=$(field Description)
[ "$(wc -l <<<"$description")" -gt 2 ] && [[ $description == *barwright-batch* ]] ||
    fail "Description has no summary and text naming both programs: $description"
# The packages that own shared libraries, one a line.
owners_of() {
    for library in "$@"; do
        path=$(ldconfig -p | awk -v name="$library" '$1 == name && !found { print $NF; found = 1 }')
        owner=
        # dpkg knows a file by the path its package gave, /lib or /usr/lib.
        for candidate in ${path:+"$path" "/usr$path" "${path#/usr}"}; do
            owner=$(dpkg -S "$candidate" 2>/dev/null | sed -n '1s/[:,].*//p' || true)
            [ -z "$owner" ] || break
        done
        echo "${owner:-(no package has $library)}"
    done | sort -u
}
# The package names in a Depends field, one a line.
depended_of() { sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$1" | sed '/^$/d' | sort -u; }
# Depends names exactly the packages of the shared libraries the programs
# load: none for static programs.
depends=$(field Depends)
# shellcheck disable=SC2086
owners=$(owners_of $needed)
[ "$(depended_of "$depends")" = "$owners" ] ||
    fail "Depends: '$depends', but the programs load libraries of: ${owners:-nothing}"
if [ -n "$python_deb" ]; then
    common_fields "$python_deb" python3-barwright python
    module=$(find "$python_root" -name '_barwright*.so')
    python_depends=$(dpkg-deb -f "$python_deb" Depends)
    # python3, of the version the module is built for, and the packages of
    # the libraries the module loads.
    # shellcheck disable=SC2046
    python_owners=$( (echo python3; owners_of $(needed_by "$module")) | sort -u)
    [ "$(depended_of "$python_depends")" = "$python_owners" ] ||
        fail "python3-barwright Depends: '$python_depends', not those of: $python_owners"
    python_version=$("$python" -c 'import sys; print("%d.%d" % sys.version_info[:2])')
    [[ $python_depends == *"python3 (>= $python_version~)"* ]] ||
        fail "python3-barwright does not depend on python3 $python_version: $python_depends"
fi

# Exactly these files, owned by root, executables 755, everything else 644
# and folders 755.
expected=$(
    cd "$source_dir"
    echo usr/bin/barwright usr/bin/barwright-batch usr/bin/barwright-serve
    for header in include/barwright/*.h; do echo "usr/$header"; done
    echo usr/include/barwright/Version.h  # generated by CMake
    echo "usr/$libdir/libbarwright.a" "usr/$libdir/pkgconfig/barwright.pc"
    for file in Config ConfigVersion Targets "Targets-$build_type"; do
        echo "usr/$libdir/cmake/barwright/barwright$file.cmake"
    done
    echo usr/share/bash-completion/completions/barwright
    echo usr/share/bash-completion/completions/barwright-batch
    echo usr/share/bash-completion/completions/barwright-serve
    echo usr/share/doc/barwright/changelog.Debian.gz usr/share/doc/barwright/copyright
    echo usr/share/man/man1/barwright.1.gz usr/share/man/man1/barwright-batch.1.gz
    echo usr/share/man/man1/barwright-serve.1.gz lib/systemd/system/barwright-serve.service
    # The JavaScript page, when the build was asked for it (scripts/package --web).
    if grep -qx 'BARWRIGHT_WEB_PAGE:BOOL=ON' "$build_dir/CMakeCache.txt"; then
        for file in web/*.html web/*.css web/*.js; do echo "usr/share/barwright/$file"; done
    fi
    # Only static programs need lintian told that they are meant so
    # (barwright-serve is always linked dynamically).
    for program in "$root"/usr/bin/*; do
        objdump -p "$program" | grep -q NEEDED || echo static
    done | sort -u | sed 's|^static$|usr/share/lintian/overrides/barwright|'
)
check_files() {  # deb, expected files (a line each)
    local expected actual
    expected=$(tr ' ' '\n' <<<"$2" | sort)
    dpkg-deb -c "$1" >"$scratch/contents"
    cat "$scratch/contents" >>"$scratch/all-contents"
    actual=$(awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' "$scratch/contents" | sort)
    if [ "$actual" != "$expected" ]; then
        fail "the files of $(basename "$1") differ from those expected (- expected, + packaged):"
        diff <(echo "$expected") <(echo "$actual") | sed -n 's/^</  -/p; s/^>/  +/p' >&2 || true
    fi
    awk '$2 != "root/root" { print "owned by " $2 ": " $6 }
         $1 ~ /^d/ && $1 != "drwxr-xr-x" { print "folder " $1 ": " $6 }
         $1 ~ /^-/ && $6 ~ /^\.\/usr\/bin\// && $1 != "-rwxr-xr-x" { print "program " $1 ": " $6 }
         $1 ~ /^-/ && $6 !~ /^\.\/usr\/bin\// && $1 != "-rw-r--r--" { print "file " $1 ": " $6 }
         $1 !~ /^[-d]/ { print "neither file nor folder: " $6 }' "$scratch/contents" >"$scratch/modes"
    [ ! -s "$scratch/modes" ] || fail "$(cat "$scratch/modes")"
}
: >"$scratch/all-contents"
check_files "$deb" "$expected"
if [ -n "$python_deb" ]; then
    python_expected=$(
        cd "$source_dir/python/barwright"
        for file in *.py "$(basename "$module")"; do echo "usr/$pythondir/barwright/$file"; done
        echo usr/share/doc/python3-barwright/changelog.Debian.gz
        echo usr/share/doc/python3-barwright/copyright
    )
    check_files "$python_deb" "$python_expected"
fi

# Nothing in them may name the folders they were built in.
for folder in "$build_dir" "$source_dir"; do
    embedded=$(grep -rlF -- "$folder" "$root" ${python_deb:+"$python_root"} || true)
    [ -z "$embedded" ] || fail "these files hold the path $folder: $embedded"
done

# lintian, as scripts/package runs it: no error, no warning but those the
# list in docs/packaging.md explains, and nothing on standard error (as root, no warning
# about running as root).
"$source_dir/scripts/lintian" "$deb" ${python_deb:+"$python_deb"} >"$scratch/lintian" 2>"$scratch/lintian-errors" || true
cat "$scratch/lintian"
[ ! -s "$scratch/lintian-errors" ] || fail "lintian said: $(cat "$scratch/lintian-errors")"
accepted=$(awk '/^### Accepted lintian warnings/ { inside = 1; next }
                inside && /^#/ { exit }
                inside && /^- `/ { split($0, part, "`"); print part[2] }' "$readme")
grep -q '^E: ' "$scratch/lintian" && fail "lintian reports errors"
while read -r tag; do
    grep -qxF -- "$tag" <<<"$accepted" ||
        fail "lintian warns $tag, which docs/packaging.md's accepted warnings do not explain"
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
# The module, imported by the interpreter it is built for from any folder.
module_writes() {  # name, data, python path (empty: the system's own)
    # The installed module as a user meets it: no PYTHONPATH, and the
    # interpreter free to write its byte code, which dpkg -r must remove too.
    (cd "$scratch" && if [ -n "$3" ]; then export PYTHONPATH=$3; else
        unset PYTHONPATH PYTHONDONTWRITEBYTECODE; fi &&
        "$python" -c 'import sys, barwright
with open(sys.argv[1], "wb") as file:
    file.write(barwright.encode(sys.argv[2]).png())' "$scratch/$1.png" "$2")
}
if [ -n "$python_deb" ]; then
    decodes unpacked-python "python from the package" \
        module_writes unpacked-python "python from the package" "$python_root/usr/$pythondir"
fi

# The unpacked service answers with the symbol barwright-batch makes, and its
# systemd unit starts the program the package holds.
serve_log=$scratch/serve.log
# Made here: the service's own redirection may come after the first look.
: >"$serve_log"
"$root/usr/bin/barwright-serve" --listen 127.0.0.1:0 --quiet 2>"$serve_log" &
serve_pid=$!
port=
for _ in $(seq 100); do
    port=$(sed -n 's|.*serving on http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$serve_log")
    [ -z "$port" ] || break
    sleep 0.1
done
if [ -z "$port" ]; then
    fail "the unpacked barwright-serve did not start: $(cat "$serve_log")"
else
    exec 3<>"/dev/tcp/127.0.0.1/$port"
    printf 'GET /pdf417.txt?data=served HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n' >&3
    served=$(timeout 10 sed '1,/^\r$/d' <&3)
    exec 3<&-
    [ "$served" = "$("$root/usr/bin/barwright-batch" --raw -d served --format txt -)" ] ||
        fail "the unpacked barwright-serve answered: $served"
fi
kill "$serve_pid" 2>/dev/null || true
wait "$serve_pid" 2>/dev/null || true
serve_pid=
unit=$root/lib/systemd/system/barwright-serve.service
grep -qx 'ExecStart=/usr/bin/barwright-serve --listen 127.0.0.1:8417' "$unit" ||
    fail "the unit does not start /usr/bin/barwright-serve: $(grep ExecStart= "$unit")"
for setting in DynamicUser=yes ProtectSystem=strict NoNewPrivileges=yes; do
    grep -qx "$setting" "$unit" || fail "the unit lacks $setting"
done

if [ "${CI:-}" != true ]; then
    echo "dpkg -i, man, barwright -h and dpkg -r of the package: for CI only (CI=true, a" \
        "disposable machine), not run here"
else
    # What the package would add to the system: its paths not there before.
    awk '{ sub(/^\./, "", $6); sub(/\/$/, "", $6); if ($6 != "") print $6 }' "$scratch/all-contents" |
        sort -u >"$scratch/packaged"
    while read -r path; do
        [ -e "$path" ] || [ -L "$path" ] || echo "$path"
    done <"$scratch/packaged" >"$scratch/new-paths"
    # Whatever a run before left installed is replaced, and removed at the end.
    dpkg -i "$deb" ${python_deb:+"$python_deb"} >"$scratch/dpkg-i.log" 2>&1 ||
        { cat "$scratch/dpkg-i.log" >&2; exit 1; }
    installed_here=true
    dpkg -L "${packages[@]}" | grep -vx -e '/\.' -e '' | sort -u | diff -q - "$scratch/packaged" >/dev/null ||
        fail "dpkg -L ${packages[*]} lists other paths than the packages hold"
    # The commands as a user types them, which must find the package's programs.
    for program in barwright barwright-batch barwright-serve; do
        [ "$(command -v "$program")" = "/usr/bin/$program" ] ||
            fail "$program is found as $(command -v "$program"), not /usr/bin/$program"
    done
    for page in barwright barwright-batch barwright-serve; do
        page_text=$(man "$page" 2>/dev/null || true)
        grep -Eq "^ *$page +- " <<<"$page_text" || fail "man $page shows no manual page"
    done
    barwright -h >"$scratch/usage" 2>&1 || fail "barwright -h exits $?"
    grep -q -- '--xsize' "$scratch/usage" || fail "barwright -h prints no usage: $(cat "$scratch/usage")"
    decodes installed-barwright "installed" barwright -d installed "$scratch/installed-barwright.png"
    decodes installed-batch "installed batch" \
        barwright-batch -d "installed batch" "$scratch/installed-batch.png"
    if [ -n "$python_deb" ]; then
        decodes installed-python "installed python" module_writes installed-python \
            "installed python" ""
        where=$(cd / && env -u PYTHONPATH -u PYTHONDONTWRITEBYTECODE "$python" -c \
            'import barwright.dask; print(barwright.__file__)')
        [ "$where" = "/usr/$pythondir/barwright/__init__.py" ] ||
            fail "python3 imports barwright from $where, not the package's"
    fi
    dpkg -r "${packages[@]}" >"$scratch/dpkg-r.log" 2>&1 ||
        { cat "$scratch/dpkg-r.log" >&2; exit 1; }
    installed_here=false
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null | grep -qx installed &&
            fail "dpkg still lists $package as installed"
    done
    while read -r path; do
        [ ! -e "$path" ] && [ ! -L "$path" ] || fail "left after dpkg -r: $path"
    done <"$scratch/new-paths"
    echo "installed with dpkg -i, used, and removed with dpkg -r"
fi

[ $failures -eq 0 ] || exit 1
echo "packages ${debs[*]}: files, fields, lintian, both programs and the module as expected"
