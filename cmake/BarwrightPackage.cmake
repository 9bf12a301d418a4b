# The Debian binary packages, made by CPack from the install rules: whatever
# cmake/BarwrightInstall.cmake installs goes into barwright, under /usr, and
# the Python module (python/CMakeLists.txt, the component "python") into
# python3-barwright. Run `cpack -G DEB` in the build folder (or
# scripts/package) to get barwright_<version>_<architecture>.deb and, when
# the module is built, python3-barwright_<version>_<architecture>.deb.
#
# Two packages rather than one: the module is for one Python version and
# needs python3 and the shared libpng, which the programs' users need not
# install, and Debian ships Python modules as python3-<name> packages, where
# `apt install python3-barwright` is what a Python user types.
#
# What a .deb needs beyond the install rules is added to CPack's staging tree
# by cmake/BarwrightDebianTree.cmake just before the archive is made: the
# manual pages compressed, the copyright file, the compressed changelog and,
# for statically linked programs, the lintian overrides that say so.
if(CMAKE_VERSION VERSION_LESS 3.19)
    # CPACK_PRE_BUILD_SCRIPTS, which completes the tree, came with 3.19.
    message(STATUS "The Debian package needs CMake 3.19 or later; cpack is not set up")
    return()
endif()

set(BARWRIGHT_PACKAGE_MAINTAINER "barwright maintainers <maintainers@barwright.invalid>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME barwright)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL programs)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME barwright)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${BARWRIGHT_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
# barwright_1.2_amd64.deb: Debian's own naming, the architecture from
# dpkg --print-architecture.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Each package's summary is the first line of its description. CPack indents
# the lines and writes an empty one as " .", as a control file wants.
set(CPACK_DEBIAN_PROGRAMS_DESCRIPTION
"PDF417 barcode generator: programs and C++ library
barwright makes PDF417 two-dimensional barcodes (ISO/IEC 15438). It does all
of PDF417 itself: text, numeric and byte compaction, Reed-Solomon error
correction, Compact PDF417 and Macro PDF417, drawn in four orientations at
whole-pixel module sizes.

This package holds the programs barwright (one PNG symbol from one command
line), barwright-batch (one symbol for each record of its input, lines,
CSV or raw bytes, as PNG, SVG, EPS, PDF or text, on every core, or as label
sheets in one PDF) and
barwright-serve (symbols over HTTP for image URLs, with a systemd unit that
is not enabled on installation), their manual pages and bash completion,
and the static library libbarwright.a with its C++ headers, CMake package
and pkg-config file. Programs that link the library also need libpng-dev.")
# Depends is what dpkg-shlibdeps finds the programs linked with: for
# barwright-serve, always linked dynamically, libmicrohttpd and the C and
# C++ runtimes (and libpng); for the other two nothing when they are linked
# statically (the default where the static archives exist).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs need nothing more to run. The library does: its CMake package
# and pkg-config file ask for libpng, whose development files a user who only
# wants the programs should not have to install, hence a suggestion.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libpng-dev")
set(CPACK_STRIP_FILES ON)

if(BARWRIGHT_PYTHON_BUILT)
    list(APPEND CPACK_COMPONENTS_ALL python)
    set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-barwright)
    set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
    # The module's file name carries its Python's ABI (cpython-311), which
    # only that Python version loads; Depends adds the shared libraries it
    # loads, as dpkg-shlibdeps finds them.
    math(EXPR BARWRIGHT_NEXT_PYTHON_MINOR "${Python3_VERSION_MINOR} + 1")
    set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
        "python3 (>= ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}~), python3 (<< ${Python3_VERSION_MAJOR}.${BARWRIGHT_NEXT_PYTHON_MINOR})")
    # Symbol.to_image and to_numpy; barwright.dask.
    set(CPACK_DEBIAN_PYTHON_PACKAGE_RECOMMENDS "python3-pil, python3-numpy")
    set(CPACK_DEBIAN_PYTHON_PACKAGE_SUGGESTS "python3-dask, python3-distributed")
    # Byte-compiled on installation and cleaned up on removal, as dh_python3
    # arranges for Debian's own Python packages.
    set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_EXTRA
        ${PROJECT_SOURCE_DIR}/packaging/python3-barwright/postinst
        ${PROJECT_SOURCE_DIR}/packaging/python3-barwright/prerm)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    set(CPACK_DEBIAN_PYTHON_DESCRIPTION
"PDF417 barcode generator: Python 3 module
barwright makes PDF417 two-dimensional barcodes (ISO/IEC 15438). It does all
of PDF417 itself: text, numeric and byte compaction, Reed-Solomon error
correction, Compact PDF417 and Macro PDF417.

This package holds the Python 3 module barwright: barwright.encode(data,
col=4, ...) takes the barwright program's options as keywords and returns a
symbol with its codewords, its module grid and its pictures (PNG, SVG, EPS,
text, a Pillow image or a numpy array), made without holding the interpreter
lock; barwright.dask.write_csv makes the files of barwright-batch --csv on a
Dask cluster.")
endif()
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Read by the pre-build script (CPack hands every CPACK_ variable to it).
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/BarwrightDebianTree.cmake)
set(CPACK_BARWRIGHT_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_BARWRIGHT_STRIP "${CMAKE_STRIP}")
if(BARWRIGHT_STATIC_ARCHIVES)
    set(CPACK_BARWRIGHT_STATIC_PROGRAMS ON)
else()
    set(CPACK_BARWRIGHT_STATIC_PROGRAMS OFF)
endif()

# A reproducible package: the time stamps in the archive come from the
# changelog's latest entry (cmake/BarwrightCPackOptions.cmake, read by cpack).
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/BarwrightCPackOptions.cmake)

include(CPack)
set(BARWRIGHT_DEBIAN_PACKAGE ON)
