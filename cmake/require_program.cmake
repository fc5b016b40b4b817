# salestax_require_program(VAR PROGRAM PACKAGE): finds PROGRAM and sets VAR to its path, or
# stops the configuration with what to install: the Debian PACKAGE, which
# scripts/install-deps installs with the rest.
function(salestax_require_program var program package)
  find_program(${var} ${program})
  if(NOT ${var})
    message(FATAL_ERROR "${program} is missing: it comes with the Debian package ${package}. "
                        "scripts/install-deps installs it with everything else the build needs.")
  endif()
endfunction()

# salestax_require_python3(VAR "MODULE[, MODULE...]" PACKAGES): sets VAR to the first python3
# on the PATH that imports the MODULEs, or stops the configuration with what to install: the
# Debian PACKAGES. One earlier on the PATH than Debian's own (a python3 built by hand, say)
# may lack Debian's modules.
function(_salestax_python3_imports result candidate)
  execute_process(COMMAND ${candidate} -c "import ${_salestax_python3_modules}"
                  RESULT_VARIABLE failed OUTPUT_QUIET ERROR_QUIET)
  if(failed)
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()
function(salestax_require_python3 var modules packages)
  set(_salestax_python3_modules "${modules}")
  find_program(${var} python3 VALIDATOR _salestax_python3_imports)
  if(NOT ${var})
    message(FATAL_ERROR "No python3 on the PATH imports ${modules}: they come with the Debian packages "
                        "${packages}, which scripts/install-deps installs.")
  endif()
endfunction()
