# Debian's hardening flags, as dpkg-buildflags gives them, for a release build: fortified
# glibc calls, the stack protector, format checks, and relocations made read-only and bound
# at start. The optimisation and debug flags stay the build type's. Debug builds leave them
# out (fortified calls need the optimiser), and so do the sanitizer and fuzz builds: a
# fortified call checks its buffer itself and hides the access from AddressSanitizer.
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(DPKG_BUILDFLAGS AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$"
   AND NOT FOLIMAR_SANITIZE AND NOT FOLIMAR_FUZZ)
    set(hardening_default ON)
else()
    set(hardening_default OFF)
endif()
option(FOLIMAR_HARDENING "Build with Debian's hardening flags (dpkg-buildflags)"
       ${hardening_default})

# folimar_build_flags(<variable> <kind>): the flags of <kind> (CXXFLAGS, LDFLAGS, ...) with
# every hardening feature on; paths in the debug information stay as they are.
function(folimar_build_flags variable kind)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env
            "DEB_BUILD_MAINT_OPTIONS=hardening=+all reproducible=-fixfilepath,-fixdebugpath"
            ${DPKG_BUILDFLAGS} --get ${kind}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(g|O.*)$")
    set(${variable} ${flags} PARENT_SCOPE)
endfunction()

if(FOLIMAR_HARDENING)
    folimar_build_flags(hardening_cppflags CPPFLAGS)
    folimar_build_flags(hardening_cflags CFLAGS)
    folimar_build_flags(hardening_cxxflags CXXFLAGS)
    folimar_build_flags(hardening_ldflags LDFLAGS)
    add_compile_options(${hardening_cppflags}
        "$<$<COMPILE_LANGUAGE:C>:${hardening_cflags}>"
        "$<$<COMPILE_LANGUAGE:CXX>:${hardening_cxxflags}>")
    add_link_options(${hardening_ldflags})
endif()
