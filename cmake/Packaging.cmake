# The Debian package: scripts/package.sh runs cpack -G DEB on a build configured for /usr.
set(CPACK_PACKAGE_NAME vidarro)
set(CPACK_PACKAGE_VENDOR "Vidarro developers")
set(CPACK_PACKAGE_CONTACT "Vidarro developers <vidarro@vidarro.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalogue of films and discs, with debtors and a black list")
set(CPACK_PACKAGE_DESCRIPTION "Vidarro keeps a private person's catalogue of films and discs, records to
whom a disc was lent and when, and keeps a black list of people not to lend
to again. All data is kept in one SQLite file; a catalogue of the Windows
version of the program can be converted. The interface is Russian.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vidarro.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the SQLite driver, the window system plugins,
# Qt's Russian texts, and what opens the help (xdg-open needs `file`).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins, qt6-translations-l10n, xdg-utils, file")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xchm")
include(CPack)
