# Debian packages of what `cmake --install` lays out, one per install component, written
# into BUILD/packages by `cmake --build BUILD --target package`. They install under /usr,
# whatever prefix the build was configured with.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME folimar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Folimar developers <folimar@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL folimar hvtag hvtag_dev hvtag_designer)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
# Libraries the files link come from dpkg-shlibdeps; what is loaded at run time is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libhvtag is one of ours: found in the build tree, depended on as its package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_FOLIMAR_PACKAGE_NAME folimar)
set(CPACK_DEBIAN_FOLIMAR_PACKAGE_SECTION text)
set(CPACK_COMPONENT_FOLIMAR_DEPENDS hvtag)
set(CPACK_COMPONENT_FOLIMAR_DESCRIPTION
    "Make books of scanned pages and listen to them read aloud
Folimar makes and reads books of scanned pages: each page holds a picture, its text and a
note, and a speaking character reads the text aloud sentence by sentence. Vocimar reads any
copied text aloud from the panel tray.")
# The speech service and a voice for it, and a sound server; without a sound server the
# reader paces its words silently.
set(CPACK_DEBIAN_FOLIMAR_PACKAGE_RECOMMENDS
    "speech-dispatcher, speech-dispatcher-espeak-ng, pulseaudio | pipewire-pulse")
# The desktop platform plugin, without which no window shows.
set(CPACK_DEBIAN_FOLIMAR_PACKAGE_DEPENDS "qt6-qpa-plugins")

set(CPACK_DEBIAN_HVTAG_PACKAGE_NAME libhvtag2)
set(CPACK_DEBIAN_HVTAG_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_HVTAG_DESCRIPTION
    "Hovertag hover-link control for Qt Widgets
A caption that changes colour under the mouse and opens a web address when clicked.")

set(CPACK_DEBIAN_HVTAG_DEV_PACKAGE_NAME libhvtag-dev)
set(CPACK_DEBIAN_HVTAG_DEV_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_HVTAG_DEV_DEPENDS hvtag)
set(CPACK_DEBIAN_HVTAG_DEV_PACKAGE_DEPENDS "qt6-base-dev")
set(CPACK_COMPONENT_HVTAG_DEV_DESCRIPTION
    "Hovertag hover-link control for Qt Widgets (development files)
Headers and the CMake package: find_package(hvtag) and link hvtag::hvtag.")

set(CPACK_DEBIAN_HVTAG_DESIGNER_PACKAGE_NAME qt6-designer-plugin-hvtag)
set(CPACK_DEBIAN_HVTAG_DESIGNER_PACKAGE_SECTION devel)
set(CPACK_COMPONENT_HVTAG_DESIGNER_DEPENDS hvtag)
set(CPACK_COMPONENT_HVTAG_DESIGNER_DESCRIPTION
    "Hovertag hover-link control for Qt Designer
Shows the Hovertag control in Qt Designer's widget box.")

include(CPack)
