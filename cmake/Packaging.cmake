# `make package` builds a Debian package of what `cmake --install` puts in place. Its
# dependencies are the shared libraries the binary links (found by dpkg-shlibdeps) and the Qt
# plugins it loads at run time: the X11 platform, SVG and further image formats.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quayrow2)
set(CPACK_PACKAGE_VENDOR "Fennick")
set(CPACK_PACKAGE_CONTACT "Fennick <support@fennickworks.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.fennickworks.com/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Floating panels of shortcuts")
set(CPACK_PACKAGE_DESCRIPTION "Quayrow 2 puts small floating panels of shortcuts on the screens. Each panel
snaps to a screen edge or floats where it is dragged, and holds tabs of
applications, folders, files and groups of them.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-image-formats-plugins, qt6-qpa-plugins")

include(CPack)
