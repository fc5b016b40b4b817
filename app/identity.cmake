# Who the program is, on both systems: its names for the version record, the desktop entry,
# the metainfo and the Windows packages, and its version as shown. The version number itself
# is the project's (the top CMakeLists.txt).
set(SALESTAX_PRODUCT_NAME "Sales Tax Calculator")
set(SALESTAX_SHORT_NAME "Sales Tax")  # under an app's icon on a home screen: 12 characters at most
set(SALESTAX_APP_ID "org.salestaxcalculator.salestax")  # lower case, as software centres prefer
set(SALESTAX_EXECUTABLE "salestax")
set(SALESTAX_DESCRIPTION "Works out the sales tax on a price for one of five states")
set(SALESTAX_PUBLISHER "Sales Tax Calculator developers")
set(SALESTAX_HOMEPAGE "https://salestaxcalculator.org/")
set(SALESTAX_COPYRIGHT "Copyright 2026 Sales Tax Calculator developers")
# The version as shown: major.minor with two digits, so 1.0.0.0 is "1.00".
math(EXPR _minor_two_digits "${PROJECT_VERSION_MINOR}" OUTPUT_FORMAT DECIMAL)
if(_minor_two_digits LESS 10)
  set(_minor_two_digits "0${_minor_two_digits}")
endif()
set(SALESTAX_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${_minor_two_digits}")
# The window icon's art, one image a size and depth; every front end's icons are made from it.
set(SALESTAX_ICON_ART ${CMAKE_CURRENT_LIST_DIR}/icons)
