# The Windows program's packages, in the build tree's packages/:
# - salestax-<version>-win64.msi, built with the program: a Windows Installer package (made
#   by msitools' wixl) that puts the program in Program Files with a Start-menu shortcut and
#   an entry in the list of installed programs, and removes them all again;
# - salestax-<version>-win64.zip, from `cpack --preset windows`: the program, its licence
#   and read-me, to run from any folder.
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/README.txt ${PROJECT_BINARY_DIR}/packaging/README.txt @ONLY
  NEWLINE_STYLE CRLF)
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/LICENSE.txt ${PROJECT_BINARY_DIR}/packaging/LICENSE.txt
  NEWLINE_STYLE CRLF)
install(TARGETS salestax RUNTIME DESTINATION .)
install(FILES ${PROJECT_BINARY_DIR}/packaging/README.txt ${PROJECT_BINARY_DIR}/packaging/LICENSE.txt DESTINATION .)

salestax_require_program(SALESTAX_WIXL wixl wixl)
salestax_require_program(SALESTAX_FAKETIME faketime faketime)
set(_msi ${PROJECT_BINARY_DIR}/packages/${SALESTAX_EXECUTABLE}-${PROJECT_VERSION}-win64.msi)
# The upgrade code is the product's for good; the other codes are name-based (SHA-1) GUIDs
# in its namespace.
set(SALESTAX_MSI_UPGRADE_CODE 39fae2c4-8981-4382-97e7-3bb1a8f0a7ba)
set(_msi_names "${SALESTAX_PRODUCT_NAME}/${SALESTAX_PUBLISHER}/${PROJECT_VERSION}")
string(UUID SALESTAX_MSI_PRODUCT_CODE NAMESPACE ${SALESTAX_MSI_UPGRADE_CODE} NAME "product/${_msi_names}" TYPE SHA1 UPPER)
string(UUID SALESTAX_MSI_PACKAGE_CODE NAMESPACE ${SALESTAX_MSI_UPGRADE_CODE}
  NAME "package/${_msi_names}/${SALESTAX_SOURCE_DATE_EPOCH}" TYPE SHA1 UPPER)
set(_wxs ${PROJECT_BINARY_DIR}/packaging/salestax.wxs)
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/salestax.wxs.in ${_wxs} @ONLY)
set(_make_msi ${CMAKE_CURRENT_LIST_DIR}/windows/make-msi)
add_custom_command(OUTPUT ${_msi}
  COMMAND ${_make_msi} ${_wxs} $<TARGET_FILE:salestax> ${_msi} ${SALESTAX_SOURCE_DATE_EPOCH}
  DEPENDS salestax ${_make_msi} ${_wxs}
          ${PROJECT_BINARY_DIR}/packaging/README.txt ${PROJECT_BINARY_DIR}/packaging/LICENSE.txt
  VERBATIM)
add_custom_target(windows_installer ALL DEPENDS ${_msi})
# Authenticode signing of a copy, for scripts/release and the signing test.
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/sign.in ${PROJECT_BINARY_DIR}/packaging/sign @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ${SALESTAX_EXECUTABLE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_SYSTEM_NAME win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
