# The engine's and the click's tests built with emscripten, against its libc++, and run under
# node: one file each, the module inlined (node would otherwise fetch it by URL), memory
# allowed to grow for the long texts of the price tests, and the process's status the tests'.
foreach(_suite runtime calc window)
  target_link_options(${_suite}_tests PRIVATE -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1)
  add_test(NAME ${_suite}_tests_under_node COMMAND ${_suite}_tests)
  set_tests_properties(${_suite}_tests_under_node PROPERTIES TIMEOUT 600)
endforeach()
