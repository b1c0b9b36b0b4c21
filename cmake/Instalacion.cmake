# What `cmake --install` and `cpack` deliver: the two programs (component "programas", the
# .deb "corvinal"), and the layer libraries, their headers and the CMake package that gives
# Corvinal::core to another project (component "desarrollo", the .deb "corvinal-dev").
include(CMakePackageConfigHelpers)

install(TARGETS corvinal corvinal-repo
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programas)

get_property(capas GLOBAL PROPERTY CORVINAL_CAPAS)
install(TARGETS ${capas} corvinal_core EXPORT CorvinalTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT desarrollo)

set(CORVINAL_CMAKE_DESTINO ${CMAKE_INSTALL_LIBDIR}/cmake/Corvinal)
install(EXPORT CorvinalTargets NAMESPACE Corvinal:: DESTINATION ${CORVINAL_CMAKE_DESTINO}
  COMPONENT desarrollo)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/CorvinalConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/CorvinalConfig.cmake INSTALL_DESTINATION ${CORVINAL_CMAKE_DESTINO})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/CorvinalConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/CorvinalConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/CorvinalConfigVersion.cmake
  DESTINATION ${CORVINAL_CMAKE_DESTINO} COMPONENT desarrollo)

set(CORVINAL_MANTENEDOR "Corvinal maintainers <maintainers@corvinal.invalid>"
  CACHE STRING "Maintainer named in the packages")
set(CPACK_PACKAGE_NAME corvinal)
set(CPACK_PACKAGE_VENDOR Corvinal)
set(CPACK_PACKAGE_CONTACT ${CORVINAL_MANTENEDOR})
# No package-wide summary: CPackDeb would put it above each component's own first line.
set(CPACK_COMPONENTS_ALL programas desarrollo)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CORVINAL_MANTENEDOR})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Strips the programs only: CMake never strips a static library, whose symbols are its use.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PROGRAMAS_PACKAGE_NAME corvinal)
set(CPACK_DEBIAN_PROGRAMAS_PACKAGE_SECTION database)
set(CPACK_COMPONENT_PROGRAMAS_DESCRIPTION
  "Launcher and updater for an application stored in its own database
corvinal reads a launch record, downloads the application's files from a repository kept
in the application's database (SQLite, SQL Server, MySQL/MariaDB or Oracle through ODBC)
and restarts the application. corvinal-repo publishes, lists, fetches and removes the
files of that repository.")
# dpkg-shlibdeps names the libraries the programs load (Qt, the ODBC driver manager, SQLite,
# zstd); the engines' ODBC drivers are loaded by name at run time, so they are only suggested.
set(CPACK_DEBIAN_PROGRAMAS_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PROGRAMAS_PACKAGE_SUGGESTS "odbc-mariadb, tdsodbc, odbcinst")

set(CPACK_DEBIAN_DESARROLLO_PACKAGE_NAME corvinal-dev)
set(CPACK_DEBIAN_DESARROLLO_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DESARROLLO_DESCRIPTION
  "Corvinal libraries, headers and CMake package
Static libraries of every Corvinal layer with their headers and the CMake package
configuration: find_package(Corvinal) gives the target Corvinal::core.")
set(CPACK_DEBIAN_DESARROLLO_PACKAGE_DEPENDS
  "qt6-base-dev, unixodbc-dev, libsqlite3-dev, libzstd-dev, pkgconf | pkg-config")

include(CPack)
