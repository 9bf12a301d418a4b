# Installs the programs, their manuals and bash completions, and the library
# with its headers, an exported CMake package and a pkg-config file.
include(CMakePackageConfigHelpers)

# Everything here is the barwright package's; the Python module (python/)
# installs as a component of its own, python3-barwright.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME programs)

set(BARWRIGHT_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/barwright)

install(TARGETS barwright barwright-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS barwright_core EXPORT barwrightTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/barwright
    ${BARWRIGHT_GENERATED_INCLUDE_DIR}/barwright
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
    FILES_MATCHING PATTERN "*.h")
install(FILES ${PROJECT_SOURCE_DIR}/docs/barwright.1 ${PROJECT_SOURCE_DIR}/docs/barwright-batch.1
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/completion/barwright
    ${PROJECT_SOURCE_DIR}/completion/barwright-batch
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

install(EXPORT barwrightTargets NAMESPACE barwright:: DESTINATION ${BARWRIGHT_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/barwrightConfig.cmake.in
    ${PROJECT_BINARY_DIR}/barwrightConfig.cmake
    INSTALL_DESTINATION ${BARWRIGHT_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/barwrightConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/barwrightConfig.cmake
    ${PROJECT_BINARY_DIR}/barwrightConfigVersion.cmake
    DESTINATION ${BARWRIGHT_CMAKE_DIR})

# The .pc file finds the prefix from its own place, so the tree can be
# installed under any prefix (cmake --install --prefix) and still be found.
file(RELATIVE_PATH BARWRIGHT_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig
    ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" BARWRIGHT_PC_TO_PREFIX "${BARWRIGHT_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/barwright.pc.in ${PROJECT_BINARY_DIR}/barwright.pc
    @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/barwright.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# barwright-serve, when it is built: the program, its manual and completion,
# and a systemd unit that runs it (not enabled: installing starts nothing).
# The unit goes where Debian 12 keeps the units of packages, lib/systemd/system
# under the prefix (/usr/lib/systemd/system, which /lib leads to).
if(BARWRIGHT_SERVE_BUILT)
    install(TARGETS barwright-serve RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${PROJECT_SOURCE_DIR}/docs/barwright-serve.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${PROJECT_SOURCE_DIR}/completion/barwright-serve
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
    set(BARWRIGHT_SERVE_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}/barwright-serve)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/barwright-serve.service.in
        ${PROJECT_BINARY_DIR}/barwright-serve.service @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/barwright-serve.service DESTINATION lib/systemd/system)
endif()

# The JavaScript page (web/), which barwright-serve serves at / from
# share/barwright/web, only when asked for: its module web/barwright.js is
# built by scripts/build-js with emscripten, which nothing else here needs.
# Asked for, never found: the same configuration always installs the same
# files, whatever bundle happens to lie in the tree.
option(BARWRIGHT_WEB_PAGE "Install the JavaScript page of web/ (built by scripts/build-js)" OFF)
if(BARWRIGHT_WEB_PAGE)
    if(NOT EXISTS ${PROJECT_SOURCE_DIR}/web/barwright.js)
        message(FATAL_ERROR "BARWRIGHT_WEB_PAGE needs web/barwright.js: run scripts/build-js first")
    endif()
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/web/ DESTINATION ${CMAKE_INSTALL_DATADIR}/barwright/web
        FILES_MATCHING PATTERN "*.html" PATTERN "*.css" PATTERN "*.js")
endif()
