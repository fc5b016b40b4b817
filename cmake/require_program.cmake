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
