# Run by cpack (CPACK_PRE_BUILD_SCRIPTS) once the install rules have filled
# its staging trees, one a package (component), and before the .debs are made
# of them: adds what a Debian package has beyond `cmake --install`. Debian's
# policy wants the manual pages compressed, and /usr/share/doc/<package>/
# holding the copyright file and the compressed changelog. Everything is
# compressed with gzip -9n, which leaves the name and time out of the header,
# so that the packages are reproducible.
set(source_dir "${CPACK_BARWRIGHT_SOURCE_DIR}")
set(file_permissions OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

function(gzip_into input output)
    execute_process(COMMAND gzip -9n -c "${input}" OUTPUT_FILE "${output}"
        RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "gzip failed on ${input}")
    endif()
    file(CHMOD "${output}" PERMISSIONS ${file_permissions})
endfunction()

function(strip_file path)
    execute_process(COMMAND "${CPACK_BARWRIGHT_STRIP}" ${ARGN} --remove-section=.comment
        --remove-section=.note "${path}" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "strip failed on ${path}")
    endif()
endfunction()

# Completes the staging tree of one package (package_root: the package's
# file system root; root: the packaging prefix within it).
function(complete_tree package_root root package)
    # Every manual page that the install rules put in, whichever program.
    file(GLOB manual_pages "${root}/share/man/man*/*")
    list(FILTER manual_pages EXCLUDE REGEX "\\.gz$")
    foreach(page IN LISTS manual_pages)
        gzip_into("${page}" "${page}.gz")
        file(REMOVE "${page}")
    endforeach()

    set(doc_dir "${root}/share/doc/${package}")
    file(MAKE_DIRECTORY "${doc_dir}")
    file(COPY "${source_dir}/packaging/copyright" DESTINATION "${doc_dir}"
        FILE_PERMISSIONS ${file_permissions})
    gzip_into("${source_dir}/packaging/changelog" "${doc_dir}/changelog.Debian.gz")

    # Stripped as dh_strip does: the programs of their symbols (CPACK_STRIP_FILES
    # did that) and of the compiler's notes, the static library of its
    # debugging information and notes only, since linking needs its symbols.
    file(GLOB programs "${root}/bin/*")
    foreach(program IN LISTS programs)
        strip_file("${program}")
    endforeach()
    file(GLOB_RECURSE archives "${root}/lib/*.a")
    foreach(archive IN LISTS archives)
        strip_file("${archive}" --strip-debug --enable-deterministic-archives)
    endforeach()
    # Shared objects (the Python module) keep only the symbols they export.
    file(GLOB_RECURSE shared_objects "${root}/lib/*.so")
    foreach(shared_object IN LISTS shared_objects)
        strip_file("${shared_object}" --strip-unneeded)
    endforeach()

    # Statically linked programs are deliberate here (see CMakeLists.txt and
    # docs/packaging.md, "The Debian package"), so lintian is told so for
    # exactly these files.
    if(CPACK_BARWRIGHT_STATIC_PROGRAMS AND EXISTS "${root}/bin")
        set(overrides_dir "${root}/share/lintian/overrides")
        file(MAKE_DIRECTORY "${overrides_dir}")
        file(COPY "${source_dir}/packaging/lintian-overrides" DESTINATION "${overrides_dir}"
            FILE_PERMISSIONS ${file_permissions})
        file(RENAME "${overrides_dir}/lintian-overrides" "${overrides_dir}/${package}")
    endif()

    # Debian 12 keeps the systemd units of packages in /lib/systemd/system, and
    # the install rules put barwright-serve's under the prefix. There the unit
    # names the program where this package puts it, whatever prefix the build
    # folder was configured for.
    set(prefix_units "${root}/lib/systemd/system")
    if(EXISTS "${prefix_units}")
        set(debian_units "${package_root}/lib/systemd/system")
        file(MAKE_DIRECTORY "${debian_units}")
        file(GLOB units "${prefix_units}/*.service")
        foreach(unit IN LISTS units)
            file(READ "${unit}" text)
            string(REGEX REPLACE "ExecStart=[^ \n]*/bin/barwright-serve"
                "ExecStart=${CPACK_PACKAGING_INSTALL_PREFIX}/bin/barwright-serve" text "${text}")
            get_filename_component(name "${unit}" NAME)
            file(WRITE "${debian_units}/${name}" "${text}")
            file(CHMOD "${debian_units}/${name}" PERMISSIONS ${file_permissions})
        endforeach()
        file(REMOVE_RECURSE "${root}/lib/systemd")
        foreach(folder "${package_root}/lib" "${package_root}/lib/systemd" "${debian_units}")
            file(CHMOD "${folder}" PERMISSIONS ${file_permissions} OWNER_EXECUTE GROUP_EXECUTE
                WORLD_EXECUTE)
        endforeach()
    endif()

    # Folders made here get the same permissions as those of the install rules.
    file(GLOB_RECURSE folders LIST_DIRECTORIES true "${root}/share/*")
    foreach(folder IN LISTS folders)
        if(IS_DIRECTORY "${folder}")
            file(CHMOD "${folder}" PERMISSIONS ${file_permissions} OWNER_EXECUTE GROUP_EXECUTE
                WORLD_EXECUTE)
        endif()
    endforeach()
endfunction()

foreach(component IN LISTS CPACK_COMPONENTS_ALL)
    string(TOUPPER "${component}" upper)
    set(package_root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/${component}")
    complete_tree("${package_root}" "${package_root}${CPACK_PACKAGING_INSTALL_PREFIX}"
        "${CPACK_DEBIAN_${upper}_PACKAGE_NAME}")
endforeach()
