# The Windows suite, run under Wine in the build tree's own prefix (tests/tools/wine-run):
# the engine's and the click's tests with the Windows toolchain and C runtime, the Win32
# front end's helpers, and the real program on Xvfb. Tests that share the prefix run one at
# a time, since each stops its wineserver.
set(_wine_env "SALESTAX_WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix")
add_executable(win32_tests win32/win32_test.cpp)
target_link_libraries(win32_tests PRIVATE win32_window GTest::gtest_main)
foreach(_suite runtime calc window win32)
  add_test(NAME ${_suite}_tests_under_wine COMMAND ${_suite}_tests)
  set_tests_properties(${_suite}_tests_under_wine PROPERTIES ENVIRONMENT "${_wine_env}" TIMEOUT 300 RUN_SERIAL ON)
endforeach()

# The probe that reads the window (and the installed product, and what screen readers are
# told) from outside, and the real program on Xvfb under Wine, driven by real keys, at 96,
# 144 and 192 dpi.
add_executable(win32probe tools/win32probe.cpp)
target_link_options(win32probe PRIVATE -municode)
target_link_libraries(win32probe PRIVATE win32_window msi)
foreach(dpi 96 144 192)
  add_test(NAME windows_program_under_wine_${dpi}dpi
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/process/wine_test.sh $<TARGET_FILE:salestax> $<TARGET_FILE:win32probe>
            $<TARGET_FILE:facts> ${dpi} ${PROJECT_BINARY_DIR}/screenshots)
  set_tests_properties(windows_program_under_wine_${dpi}dpi PROPERTIES ENVIRONMENT "${_wine_env}" TIMEOUT 120 RUN_SERIAL ON)
endforeach()
# What a screen reader is told, read by the probe's WinEvent client as the keys go in; and the
# command's access key through real keys.
add_test(NAME windows_screen_reader_events_under_wine
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/process/wine_screen_reader_test.sh $<TARGET_FILE:salestax> $<TARGET_FILE:win32probe>
          $<TARGET_FILE:facts>)
set_tests_properties(windows_screen_reader_events_under_wine PROPERTIES ENVIRONMENT "${_wine_env}" TIMEOUT 240 RUN_SERIAL ON)
# Told to close (WM_CLOSE from another process) while its error report is up.
add_test(NAME windows_program_closed_under_its_report
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/process/wine_close_test.sh $<TARGET_FILE:salestax> $<TARGET_FILE:win32probe>
          $<TARGET_FILE:facts>)
set_tests_properties(windows_program_closed_under_its_report PROPERTIES ENVIRONMENT "${_wine_env}" TIMEOUT 120 RUN_SERIAL ON)
# The resources read from the file by the first python3 on the PATH with pefile.
salestax_require_python3(SALESTAX_PEFILE_PYTHON3 pefile python3-pefile)
add_test(NAME windows_resources COMMAND ${SALESTAX_PEFILE_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/process/windows_resources.py
  $<TARGET_FILE:salestax> ${PROJECT_VERSION} ${SALESTAX_VERSION_TEXT})

# The zip and the installer (built with the program), installed and removed again in a prefix of their own.
add_test(NAME windows_installer_under_wine
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/process/windows_installer_test.sh ${PROJECT_BINARY_DIR} $<TARGET_FILE:win32probe>
          $<TARGET_FILE:facts>)
set_tests_properties(windows_installer_under_wine PROPERTIES
  ENVIRONMENT "SALESTAX_WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix-installer" TIMEOUT 240 RUN_SERIAL ON)

# Authenticode, with a throwaway certificate: signed copies of the program and the installer
# verified, broken by one changed byte; then the signed program through the checks above.
salestax_require_program(SALESTAX_OSSLSIGNCODE osslsigncode osslsigncode)
salestax_require_program(SALESTAX_OPENSSL openssl openssl)
add_test(NAME windows_signing
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/release/signing_test.sh ${PROJECT_BINARY_DIR} ${PROJECT_BINARY_DIR}/signed)
set_tests_properties(windows_signing PROPERTIES FIXTURES_SETUP signed_program LABELS release TIMEOUT 60)
add_test(NAME signed_program_under_wine_96dpi
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/process/wine_test.sh ${PROJECT_BINARY_DIR}/signed/salestax.exe
          $<TARGET_FILE:win32probe> $<TARGET_FILE:facts> 96)
set_tests_properties(signed_program_under_wine_96dpi PROPERTIES FIXTURES_REQUIRED signed_program
  LABELS release ENVIRONMENT "${_wine_env}" TIMEOUT 120 RUN_SERIAL ON)
