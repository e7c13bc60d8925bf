# Debian packages of what `cmake --install` lays out, one per install component, written
# into BUILD/packages by `cmake --build BUILD --target package`. They pack the release build
# as it is, with no second build of their own, so that CI builds the sources once. They
# install under /usr, whatever prefix the build was configured with. CPack strips the
# programs and libraries and keeps their debug information in a -dbgsym package (.ddeb) for
# each package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME folimar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The first packaging of each release; the changelog names the same version.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(FOLIMAR_PACKAGE_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
set(CPACK_PACKAGE_CONTACT "Folimar maintainers <maintainers@folimar.github.io>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://folimar.github.io/)
set(CPACK_DEBIAN_PACKAGE_SOURCE folimar)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL folimar hvtag hvtag_dev hvtag_designer)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/FolimarDebugPackages.cmake)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Libraries the files link come from dpkg-shlibdeps; what is loaded at run time is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libhvtag is one of ours: found in the build tree, depended on as its package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

# Each package's /usr/share/doc/<package>: the copyright and the packaging's changelog,
# compressed as Debian wants it (gzip -9n: smallest, no time stamp), and lintian's word that
# the packages are not uploaded to Debian, so no first upload closes a bug there.
find_program(GZIP gzip REQUIRED)
set(FOLIMAR_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
execute_process(COMMAND date --utc --rfc-email --date=${FOLIMAR_RELEASE_DATE}
    OUTPUT_VARIABLE FOLIMAR_RELEASE_TIME OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
configure_file(${PROJECT_SOURCE_DIR}/data/packaging/changelog.in
    ${FOLIMAR_PACKAGING_DIR}/changelog.Debian @ONLY)
add_custom_command(OUTPUT ${FOLIMAR_PACKAGING_DIR}/changelog.Debian.gz
    COMMAND ${GZIP} -9nkf ${FOLIMAR_PACKAGING_DIR}/changelog.Debian
    DEPENDS ${FOLIMAR_PACKAGING_DIR}/changelog.Debian
    VERBATIM)
add_custom_target(folimar_package_changelog ALL
    DEPENDS ${FOLIMAR_PACKAGING_DIR}/changelog.Debian.gz)

# folimar_package(<component> <package> <section> <description>): the package made of an
# install component, with its documentation. The description's first line is the synopsis,
# the rest (lines under 80 characters) the long description.
function(folimar_package component package section description)
    string(TOUPPER ${component} name)
    set(CPACK_DEBIAN_${name}_PACKAGE_NAME ${package} PARENT_SCOPE)
    set(CPACK_DEBIAN_${name}_PACKAGE_SECTION ${section} PARENT_SCOPE)
    set(CPACK_COMPONENT_${name}_DESCRIPTION "${description}" PARENT_SCOPE)
    install(FILES ${PROJECT_SOURCE_DIR}/data/packaging/copyright
                  ${FOLIMAR_PACKAGING_DIR}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
    install(FILES ${PROJECT_SOURCE_DIR}/data/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${package}
        COMPONENT ${component})
endfunction()

folimar_package(folimar folimar text
    "Make books of scanned pages and listen to them read aloud
Folimar makes and reads books of scanned pages: each page holds a picture,
its text and a note, and a speaking character reads the text aloud sentence
by sentence. The text of a scan is read from its picture, and whole PDFs,
pictures and folders of scans are imported as pages.
Vocimar reads any copied text aloud from the panel tray.")
set(CPACK_COMPONENT_FOLIMAR_DEPENDS hvtag)
# Loaded at run time, so not found by dpkg-shlibdeps: the desktop platform plugin, without
# which no window shows, and the TIFF reader for imported scans.
set(CPACK_DEBIAN_FOLIMAR_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-image-formats-plugins")
# English text read from scans (other languages' tesseract-ocr-* packages add theirs), the
# desktop's speech service with a voice, and a sound server; without a sound server the
# reader paces its words silently.
set(CPACK_DEBIAN_FOLIMAR_PACKAGE_RECOMMENDS
    "tesseract-ocr-eng, speech-dispatcher, speech-dispatcher-espeak-ng, pulseaudio | pipewire-pulse")

folimar_package(hvtag libhvtag2 libs
    "Hovertag hover-link control for Qt Widgets
A caption that changes colour under the mouse and opens a web address when
clicked, for programs built with Qt 6 Widgets.")
# Programs built against this version need at least it (CPack warns that the Designer
# plugin, which has no soname, gets no shlibs line: none is wanted). ldconfig runs from a
# trigger, once after all packages are unpacked; naming postinst and postrm (which do not
# exist, so CPack warns and adds nothing) stops CPack from writing maintainer scripts that
# call it.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_HVTAG_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/data/packaging/libhvtag2/triggers
    ${PROJECT_SOURCE_DIR}/data/packaging/libhvtag2/postinst
    ${PROJECT_SOURCE_DIR}/data/packaging/libhvtag2/postrm)

folimar_package(hvtag_dev libhvtag-dev libdevel
    "Hovertag hover-link control for Qt Widgets (development files)
Headers and the CMake package of the hvtag library: find_package(hvtag) and
link hvtag::hvtag.")
set(CPACK_COMPONENT_HVTAG_DEV_DEPENDS hvtag)
set(CPACK_DEBIAN_HVTAG_DEV_PACKAGE_DEPENDS "qt6-base-dev")

folimar_package(hvtag_designer qt6-designer-plugin-hvtag devel
    "Hovertag hover-link control for Qt Designer
Shows the Hovertag control of the hvtag library in Qt Designer's widget box,
ready to be placed on forms.")
set(CPACK_COMPONENT_HVTAG_DESIGNER_DEPENDS hvtag)

include(CPack)
