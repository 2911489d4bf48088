# The Debian package: `cpack -G DEB` in the build folder writes pairscout_<version>_<arch>.deb
# with the programs, the help book and the desktop files at their places under /usr. Its
# dependencies are computed from the programs' shared libraries (dpkg-shlibdeps, from dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pairscout)
set(CPACK_PACKAGE_VENDOR "Orvelle Software Inc.")
set(CPACK_PACKAGE_VERSION ${PAIRSCOUT_VERSION})
set(CPACK_PACKAGE_CONTACT "Orvelle Software Inc. <pairscout@orvelle-software.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "duplicate file finder with a Chinese and English interface")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.orvelle-software.example/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# wx's own texts (stock buttons, message boxes, the find dialog) in Chinese.
if(PAIRSCOUT_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "wx3.2-i18n")
endif()
# The C library's own texts (the reasons of system errors) in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libc-l10n")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Pairscout finds duplicate files. You name the folders to search (or all
local disks, or the shares of a server), the file masks to include or
exclude, and optional filters on date, size and attributes. Files of equal
size are compared by their contents, and the duplicates are listed group by
group; from the list you open files, show them in the file manager, select
every copy but the first, delete them (to the trash or for good), copy rows,
export CSV and print. The interface is in Chinese, or in English where
the user's language is not Chinese.
.
pairscout-cli runs the same search without a window, for scripts.")

include(CPack)
