#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks what landed there, then
# builds the examples (the README's examples/hello.cpp and the library
# guide's examples/encode.cpp) against the installed tree twice each --
# through the CMake package and through pkg-config -- and runs them.
# Usage: install-and-consume.sh <build folder> <source folder> <C++ compiler>
#        [<compiler flags> [<linker flags> [<python3, when the module is built>]]]
# The flags are the build's own, so that a sanitizer build links its
# consumers with the same runtime.
set -euo pipefail
build_dir=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
cxx=$3
cxx_flags=${4:-}
linker_flags=${5:-}
python=${6:-}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cmake --install "$build_dir" --prefix "$prefix" >"$scratch/install.log"

for file in bin/barwright share/man/man1/barwright.1 \
    share/bash-completion/completions/barwright include/barwright/barwright.h \
    include/barwright/Version.h \
    bin/barwright-batch share/man/man1/barwright-batch.1 \
    share/bash-completion/completions/barwright-batch bin/barwright-serve \
    share/man/man1/barwright-serve.1 share/bash-completion/completions/barwright-serve \
    lib/systemd/system/barwright-serve.service; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
done
library=$(find "$prefix" -name libbarwright.a)
config=$(find "$prefix" -name barwrightConfig.cmake)
version=$(find "$prefix" -name barwrightConfigVersion.cmake)
pc=$(find "$prefix" -name barwright.pc)
[ -n "$library" ] || fail "libbarwright.a not installed"
[ -n "$config" ] && [ -n "$version" ] || fail "CMake package files not installed"
[ -n "$pc" ] || fail "barwright.pc not installed"
[ $failures -eq 0 ] || exit 1

# The interface is include/barwright and nothing else: no compaction or
# encoder internals, none of the programs' files and signals, and each header
# stands on its own.
installed_headers=$(cd "$prefix/include" && find . -type f | LC_ALL=C sort | tr '\n' ' ')
expected_headers="./barwright/BitImage.h ./barwright/BitRenderer.h ./barwright/Capacity.h ./barwright/EncodedSymbol.h \
./barwright/Encoder.h ./barwright/EpsRenderer.h ./barwright/LabelSheetWriter.h \
./barwright/MacroSegments.h ./barwright/MacroSettings.h ./barwright/ModuleGrid.h \
./barwright/PdfRenderer.h ./barwright/Picture.h \
./barwright/PictureSettings.h ./barwright/PngWriter.h ./barwright/Rect.h ./barwright/RgbImage.h \
./barwright/RgbRenderer.h ./barwright/SheetSettings.h ./barwright/Status.h ./barwright/SvgRenderer.h \
./barwright/SymbolSettings.h ./barwright/TextRenderer.h ./barwright/Version.h \
./barwright/barwright.h "
[ "$installed_headers" = "$expected_headers" ] || fail "installed headers: $installed_headers"
for header in "$prefix"/include/barwright/*.h; do
    echo "#include <barwright/$(basename "$header")>" |
        $cxx -std=c++17 -Wall -Wextra -Wpedantic -Werror -fsyntax-only -x c++ \
            -I"$prefix/include" - || fail "$(basename "$header") does not compile alone"
done

# The installed programs work.
"$prefix/bin/barwright" -d installed "$scratch/program.png" || fail "installed barwright failed"
"$prefix/bin/barwright-batch" -d installed "$scratch/batch.svg" ||
    fail "installed barwright-batch failed"
"$prefix/bin/barwright-serve" --version >/dev/null || fail "installed barwright-serve failed"

# What each example prints after the file's name, and what it must write.
expected_output() {  # example
    case $1 in
        hello) echo ": Ok." ;;
        encode) echo ": 4 columns, " ;;
    esac
}

run_consumer() {  # example, way, executable
    local output png=$scratch/$1-$2.png
    if ! output=$("$3" "$png"); then
        fail "the $1 example built through $2 failed"
        return
    fi
    [[ $output == "$png$(expected_output "$1")"* ]] ||
        fail "the $1 example built through $2 printed: $output"
    [ "$(head -c 4 "$png" | od -An -tx1 | tr -d ' ')" = 89504e47 ] ||
        fail "the $1 example built through $2 wrote no PNG"
}

export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$pc")
[ "$(pkg-config --modversion barwright)" = 1.2 ] || fail "pkg-config reports another version"
for name in hello encode; do
    example=$source_dir/examples/$name.cpp
    # 1. find_package(barwright) -> barwright::barwright
    consumer=$scratch/cmake-$name
    if cmake -S "$source_dir/tests/install/consumer" -B "$consumer" \
        -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_COMPILER="$cxx" \
        -DCMAKE_CXX_FLAGS="$cxx_flags" -DCMAKE_EXE_LINKER_FLAGS="$linker_flags" \
        -DBARWRIGHT_EXAMPLE="$example" >"$consumer.log" 2>&1 &&
        cmake --build "$consumer" >>"$consumer.log" 2>&1; then
        run_consumer "$name" cmake "$consumer/consumer"
    else
        cat "$consumer.log" >&2
        fail "the $name example does not build through the CMake package"
    fi
    # 2. pkg-config, with and without --static: the library is static, so
    # even a plain --libs must bring libpng and zlib.
    for static in "" --static; do
        # shellcheck disable=SC2046,SC2086
        $cxx -std=c++17 $cxx_flags "$example" -o "$scratch/pkg-config-$name" \
            $(pkg-config --cflags barwright) $linker_flags $(pkg-config $static --libs barwright) ||
            fail "the $name example does not build with 'pkg-config $static --libs'"
        run_consumer "$name" "pkg-config$static" "$scratch/pkg-config-$name"
    done
done

# 3. The Python module, imported from where it was installed.
if [ -n "$python" ]; then
    module=$(find "$prefix" -name '_barwright*.so')
    if [ -z "$module" ]; then
        fail "the Python module is not installed"
    else
        written=$(cd "$scratch" && PYTHONPATH=$(dirname "$(dirname "$module")") "$python" -c \
            'import barwright; print(barwright.encode("installed", col=4).columns)') ||
            fail "the installed Python module cannot be imported"
        [ "$written" = 4 ] || fail "the installed Python module made $written columns"
    fi
fi

[ $failures -eq 0 ] || exit 1
echo "installed into a scratch prefix; both examples built both ways and ran${python:+, the module imported}"
