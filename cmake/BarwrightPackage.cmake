# The Debian binary package, made by CPack from the install rules: whatever
# cmake/BarwrightInstall.cmake installs goes into it, under /usr. Run
# `cpack -G DEB` in the build folder (or scripts/package) to get
# barwright_<version>_<architecture>.deb.
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
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${BARWRIGHT_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
# barwright_1.2_amd64.deb: Debian's own naming, the architecture from
# dpkg --print-architecture.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "PDF417 barcode generator: programs and C++ library")
# CPack indents the lines and writes an empty one as " .", as a control file
# wants.
set(CPACK_PACKAGE_DESCRIPTION
"barwright makes PDF417 two-dimensional barcodes (ISO/IEC 15438). It does all
of PDF417 itself: text, numeric and byte compaction, Reed-Solomon error
correction, Compact PDF417 and Macro PDF417, drawn in four orientations at
whole-pixel module sizes.

This package holds the programs barwright (one PNG symbol from one command
line), barwright-batch (one symbol for each record of its input, lines,
CSV or raw bytes, as PNG, SVG, EPS or text, on every core) and
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
