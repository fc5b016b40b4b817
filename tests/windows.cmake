# The Windows suite, run under Wine in the build tree's own prefix (tools/wine-run): the
# engine's tests with the Windows toolchain and C runtime, and the real program on Xvfb.
# Tests that share the prefix run one at a time, since each stops its wineserver.
set(_wine_env "SALESTAX_WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix")
add_test(NAME runtime_tests_under_wine COMMAND runtime_tests)
add_test(NAME calc_tests_under_wine COMMAND calc_tests)
set_tests_properties(runtime_tests_under_wine calc_tests_under_wine PROPERTIES
  ENVIRONMENT "${_wine_env}" TIMEOUT 300 RUN_SERIAL ON)
