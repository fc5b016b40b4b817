# Builds for browsers and node with Debian's emscripten (package emscripten): the page and the
# engine's tests, C++ compiled to WebAssembly against emscripten's libc++.
set(_debian_toolchain /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
if(NOT EXISTS ${_debian_toolchain})
  message(FATAL_ERROR "emscripten is missing: it comes with the Debian package emscripten. "
                      "scripts/install-deps installs it with everything else the build needs.")
endif()
include(${_debian_toolchain})
# emcc and em++ are Python programs, run by Debian's own Python whatever else is first on the
# PATH; their JavaScript optimizer, run at link time, needs acorn: Debian's own node finds
# Debian's node-acorn by itself, any other node through NODE_PATH.
set(_emscripten_env ${CMAKE_COMMAND} -E env EMSDK_PYTHON=/usr/bin/python3 NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_COMPILER_LAUNCHER ${_emscripten_env})
set(CMAKE_CXX_LINKER_LAUNCHER ${_emscripten_env})
# Exceptions are caught as in every other build: emscripten leaves catching them off unless
# asked, and a run-time error would end the page instead of being reported. WebAssembly's own
# exceptions, which every browser and node of the last years run: a fifth smaller than
# emscripten's emulation of them in JavaScript.
set(CMAKE_CXX_FLAGS_INIT "-fwasm-exceptions")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fwasm-exceptions")
