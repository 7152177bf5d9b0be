# The Debian package (cpack -G DEB, see scripts/package.sh). Installed under
# /usr, with the decoder process vistrel-decoder in libexec/vistrel/ (installed
# by src/imaging; libseccomp and libturbojpeg come in through its links); the shared-library dependencies are worked out by dpkg-shlibdeps, and
# the one run-time need that no library link shows - Qt's platform plugins,
# without which no window opens - is named here.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vistrel)
set(CPACK_PACKAGE_VENDOR Corvantis)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "image browser with animated GIF playback")
set(CPACK_PACKAGE_DESCRIPTION "Vistrel shows a folder tree, the folder's pictures in a list\n\
and the clicked picture in a preview pane, with a full-screen view on a\n\
double-click or Enter. Still images of some thirty formats are read by\n\
FreeImage in confined decoder processes (vistrel-decoder, under libexec),\n\
and GIF files are decoded by Vistrel's own engine and play animated.")
set(CPACK_PACKAGE_CONTACT "Corvantis <maintainers@vistrel.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Corvantis <maintainers@vistrel.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme")

include(CPack)
