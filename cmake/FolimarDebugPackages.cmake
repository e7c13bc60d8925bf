# Run by CPack once the packages are made: puts the -dbgsym packages (.ddeb) right, as
# Debian's own are. CPack 3.25 lists their files in md5sums by the paths of its work folder
# and gives them no documentation; each is unpacked and packed again with its md5sums
# naming the installed files, its debug files not executable, and
# /usr/share/doc/<package>-dbgsym pointing to <package>'s documentation.
foreach(ddeb ${CPACK_PACKAGE_FILES})
    if(NOT ddeb MATCHES "/([^/_]+)-dbgsym_[^/]+\\.ddeb$")
        continue()
    endif()
    set(package ${CMAKE_MATCH_1})
    set(root ${ddeb}.content)
    file(REMOVE_RECURSE ${root})
    execute_process(COMMAND dpkg-deb --raw-extract ${ddeb} ${root} COMMAND_ERROR_IS_FATAL ANY)

    file(STRINGS ${root}/DEBIAN/md5sums sums)
    list(TRANSFORM sums REPLACE "^([0-9a-f]+  ).*/(usr/lib/debug/.*)$" "\\1\\2")
    list(JOIN sums "\n" sums)
    file(WRITE ${root}/DEBIAN/md5sums "${sums}\n")

    file(GLOB_RECURSE debug_files ${root}/usr/lib/debug/*)
    file(CHMOD ${debug_files} FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    file(MAKE_DIRECTORY ${root}/usr/share/doc)
    file(CREATE_LINK ${package} ${root}/usr/share/doc/${package}-dbgsym SYMBOLIC)

    execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip -z1 --build ${root} ${ddeb}
        OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${root})
endforeach()
