# The same source gives the same bytes, in any folder and at any time.
#
# SALESTAX_SOURCE_DATE_EPOCH is the one time the artifacts record where their format needs
# one: SOURCE_DATE_EPOCH from the environment when set (as Debian's builders and
# scripts/release set it), else the time of the checkout's commit, else the date of the
# newest entry in packaging/changelog (a source tree without its history). It is read when
# CMake configures, and a new commit configures again.
#
# What would differ otherwise, and what stops it:
# - paths of the source and build folders in debug information and in __FILE__: mapped to
#   relative ones;
# - file times in Qt's resources: not written (qt/CMakeLists.txt);
# - the link time in a PE header: not written (see win32/CMakeLists.txt);
# - file times in the .deb and the zip: CPack takes them from SOURCE_DATE_EPOCH, which the
#   packaging step gets from here when the environment has none;
# - the MSI's summary information and its GUIDs: see packaging/windows/make-msi.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(SALESTAX_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  find_package(Git QUIET)
  if(GIT_FOUND AND EXISTS ${PROJECT_SOURCE_DIR}/.git)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE SALESTAX_SOURCE_DATE_EPOCH
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --absolute-git-dir
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE _git_dir
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    # Written by every commit and checkout.
    if(EXISTS ${_git_dir}/logs/HEAD)
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_git_dir}/logs/HEAD)
    endif()
  endif()
  if(NOT SALESTAX_SOURCE_DATE_EPOCH)
    # " -- Maintainer <address>  Tue, 08 Dec 2026 12:00:00 +0000", the first is the newest.
    file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog _signoff REGEX "^ -- " LIMIT_COUNT 1)
    string(REGEX REPLACE ".*  (.*)$" "\\1" _date "${_signoff}")
    execute_process(COMMAND date -u -d "${_date}" +%s OUTPUT_VARIABLE SALESTAX_SOURCE_DATE_EPOCH
      OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
endif()
if(NOT SALESTAX_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be seconds since 1970, not '${SALESTAX_SOURCE_DATE_EPOCH}'")
endif()

add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)

# For scripts/release, which wraps signed copies in their own installer and zip.
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/source_date_epoch CONTENT "${SALESTAX_SOURCE_DATE_EPOCH}\n")

# cpack runs later and on its own: it is handed the time through its project file.
set(_cpack_time ${PROJECT_BINARY_DIR}/packaging/source_date_epoch.cmake)
file(CONFIGURE OUTPUT ${_cpack_time} @ONLY CONTENT [[
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} @SALESTAX_SOURCE_DATE_EPOCH@)
endif()
]])
set(CPACK_PROJECT_CONFIG_FILE ${_cpack_time})
