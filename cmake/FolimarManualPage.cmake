# folimar_manual_page(<program>): the program writes its manual page from its own help text
# (`<program> --manual-page`) at build time; it is installed in section 1 with the program,
# compressed as Debian wants it (gzip -9n: smallest, no time stamp).
find_program(GZIP gzip REQUIRED)
function(folimar_manual_page program)
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
    add_custom_command(OUTPUT ${page} ${page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND ${program} --manual-page > ${page}
        COMMAND ${GZIP} -9nkf ${page}
        DEPENDS ${program}
        COMMENT "Writing the manual page ${program}.1"
        VERBATIM)
    add_custom_target(${program}_manual_page ALL DEPENDS ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT folimar)
endfunction()
