# What an installation holds, and the Debian package CPack makes of it (scripts/package).
# Only the program is installed: its templates and seed data are embedded in it, and it makes the
# office in the user's data folder at its first start. Tests and benchmarks install nothing.
include(GNUInstallDirs)

# Folders as Debian has them whatever the umask of the one who builds.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})

set(VELCARIS_MAINTAINER "Velcaris <velcaris@example.org>" CACHE STRING "The Debian package's maintainer")

install(TARGETS velcaris RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/packaging/velcaris.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/packaging/velcaris.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/packaging/it.velcaris.Velcaris.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velcaris)
set(CPACK_PACKAGE_VENDOR Velcaris)
set(CPACK_PACKAGE_CONTACT "${VELCARIS_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "condominium accounting for Italian property administrators")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${CMAKE_CURRENT_SOURCE_DIR}/packaging/description.txt)
# (CPack writes an apostrophe of this file as "&apos;" in the control file: the text has none.)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VELCARIS_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links (Qt, SQLCipher, libxlsxwriter, libcurl, libzip, libcrypto) are
# found by dpkg-shlibdeps, with the versions this build needs. Qt's X11 platform plugin comes with
# libqt6gui6; Wayland's is suggested.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-writer-nogui | libreoffice-writer, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The manual page, the copyright and the Debian changelog, made when the build is configured
# (compressed as Debian wants them, without time stamps).
set(packaging_out ${CMAKE_CURRENT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${packaging_out})
string(TIMESTAMP VELCARIS_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC) # SOURCE_DATE_EPOCH when set
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/packaging/velcaris.1 ${packaging_out}/velcaris.1 @ONLY)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog.Debian.in ${packaging_out}/changelog.Debian @ONLY)
foreach(page velcaris.1 changelog.Debian)
  execute_process(COMMAND gzip -9 -n -c ${packaging_out}/${page} OUTPUT_FILE ${packaging_out}/${page}.gz
                  RESULT_VARIABLE gzipped)
  if(NOT gzipped EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${page}")
  endif()
endforeach()
install(FILES ${packaging_out}/velcaris.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/packaging/copyright ${packaging_out}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velcaris)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME velcaris)

include(CPack)
