# A Debian package of the program and its desktop files:
#   cpack --preset default     (or: cd build/default && cpack -G DEB)
# gives build/default/packages/salestax_<version>_amd64.deb.
include(GNUInstallDirs)

set(_doc ${CMAKE_INSTALL_DATADIR}/doc/${SALESTAX_EXECUTABLE})
set(_gz ${PROJECT_BINARY_DIR}/packaging)
add_custom_command(OUTPUT ${_gz}/changelog.gz ${_gz}/salestax.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_gz}
  COMMAND gzip -9n -c ${CMAKE_CURRENT_LIST_DIR}/changelog > ${_gz}/changelog.gz
  COMMAND gzip -9n -c ${CMAKE_CURRENT_LIST_DIR}/salestax.1 > ${_gz}/salestax.1.gz
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog ${CMAKE_CURRENT_LIST_DIR}/salestax.1
  VERBATIM)
add_custom_target(package_docs ALL DEPENDS ${_gz}/changelog.gz ${_gz}/salestax.1.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${_gz}/changelog.gz DESTINATION ${_doc})
install(FILES ${_gz}/salestax.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${SALESTAX_EXECUTABLE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_CONTACT "Sales Tax Calculator developers <developers@salestaxcalculator.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "work out the sales tax on a price for one of five states")
# Debian's long description; CPack puts the summary above it and indents each line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A desktop calculator with one window: type a price, pick Pennsylvania,
Ohio, Maryland, New York or Delaware, and press Calculate Sales Tax. The
window shows the price times the state's rate, exact to the ten-thousandth,
and empties the price box for the next price. It runs on X11 and Wayland,
and screen readers read the tax through AT-SPI.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${SALESTAX_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, which dpkg-shlibdeps cannot see: the Wayland platform plugin (the X11
# one comes with libqt6gui6, which the libraries already pull in) and the font the layout
# is drawn for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-wayland, fonts-liberation2")
include(CPack)
