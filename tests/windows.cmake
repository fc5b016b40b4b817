# The Windows suite, run under Wine in the build tree's own prefix (tools/wine-run): the
# engine's tests with the Windows toolchain and C runtime, and the real program on Xvfb.
# Tests that share the prefix run one at a time, since each stops its wineserver.
set(_wine_env "SALESTAX_WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix")
add_test(NAME runtime_tests_under_wine COMMAND runtime_tests)
add_test(NAME calc_tests_under_wine COMMAND calc_tests)
set_tests_properties(runtime_tests_under_wine calc_tests_under_wine PROPERTIES
  ENVIRONMENT "${_wine_env}" TIMEOUT 300 RUN_SERIAL ON)

# The probe that reads the window from outside, and the real program on Xvfb under Wine,
# driven by real keys, at 96, 144 and 192 dpi.
add_executable(win32probe ${PROJECT_SOURCE_DIR}/tools/win32probe.cpp ${PROJECT_SOURCE_DIR}/win32/dpi.cpp)
target_include_directories(win32probe PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(win32probe PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
target_link_options(win32probe PRIVATE -municode)
target_link_libraries(win32probe PRIVATE form1_description)
foreach(dpi 96 144 192)
  add_test(NAME windows_program_under_wine_${dpi}dpi
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/process/wine_test.sh $<TARGET_FILE:salestax> $<TARGET_FILE:win32probe> ${dpi}
            ${PROJECT_BINARY_DIR}/screenshots)
  set_tests_properties(windows_program_under_wine_${dpi}dpi PROPERTIES ENVIRONMENT "${_wine_env}" TIMEOUT 120 RUN_SERIAL ON)
endforeach()
add_test(NAME windows_resources COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/process/windows_resources.py
  $<TARGET_FILE:salestax> ${PROJECT_VERSION} ${SALESTAX_VERSION_TEXT})

# The zip and the installer (built with the program), installed and removed again in a prefix of their own.
add_test(NAME windows_installer_under_wine
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/process/windows_installer_test.sh ${PROJECT_BINARY_DIR} $<TARGET_FILE:win32probe>)
set_tests_properties(windows_installer_under_wine PROPERTIES
  ENVIRONMENT "SALESTAX_WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix-installer" TIMEOUT 240 RUN_SERIAL ON)
