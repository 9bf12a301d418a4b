# Read by cpack before it makes the Debian package (CPACK_PROJECT_CONFIG_FILE).
#
# The changelog's latest entry must be for the version being packaged, and
# its date becomes SOURCE_DATE_EPOCH, every time stamp in the package, as
# dpkg-buildpackage does: the same sources make the same .deb, byte for byte.
# A SOURCE_DATE_EPOCH set by the caller is kept.
set(barwright_changelog ${CPACK_BARWRIGHT_SOURCE_DIR}/packaging/changelog)
foreach(field Version Timestamp)
    execute_process(COMMAND dpkg-parsechangelog -l ${barwright_changelog} -S ${field}
        OUTPUT_VARIABLE barwright_changelog_${field} OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE barwright_result)
    if(NOT barwright_result EQUAL 0)
        message(FATAL_ERROR "dpkg-parsechangelog cannot read ${barwright_changelog} (needs dpkg-dev)")
    endif()
endforeach()
if(NOT barwright_changelog_Version STREQUAL CPACK_PACKAGE_VERSION)
    message(FATAL_ERROR "packaging/changelog's latest entry is for ${barwright_changelog_Version}, "
        "the project is ${CPACK_PACKAGE_VERSION}: add an entry for this version")
endif()
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ENV{SOURCE_DATE_EPOCH} ${barwright_changelog_Timestamp})
endif()
