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
set(_msi ${PROJECT_BINARY_DIR}/packages/${SALESTAX_EXECUTABLE}-${PROJECT_VERSION}-win64.msi)
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/salestax.wxs.in ${PROJECT_BINARY_DIR}/packaging/salestax.wxs.in @ONLY)
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/packaging/salestax.wxs INPUT ${PROJECT_BINARY_DIR}/packaging/salestax.wxs.in)
add_custom_command(OUTPUT ${_msi}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packages
  COMMAND ${SALESTAX_WIXL} --arch x64 -o ${_msi} ${PROJECT_BINARY_DIR}/packaging/salestax.wxs
  DEPENDS salestax ${PROJECT_BINARY_DIR}/packaging/salestax.wxs
          ${PROJECT_BINARY_DIR}/packaging/README.txt ${PROJECT_BINARY_DIR}/packaging/LICENSE.txt
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/packaging
  VERBATIM)
add_custom_target(windows_installer ALL DEPENDS ${_msi})

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ${SALESTAX_EXECUTABLE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_SYSTEM_NAME win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
