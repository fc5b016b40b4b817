# The engine's and the click's tests built with emscripten, against its libc++, and run under
# node: one file each, the module inlined (node would otherwise fetch it by URL), memory
# allowed to grow for the long texts of the price tests, and the process's status the tests'.
foreach(_suite runtime calc window)
  target_link_options(${_suite}_tests PRIVATE -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1)
  add_test(NAME ${_suite}_tests_under_node COMMAND ${_suite}_tests)
  set_tests_properties(${_suite}_tests_under_node PROPERTIES TIMEOUT 600)
endforeach()
# The build's facts, read under node by the browser tests.
target_link_options(facts PRIVATE -sSINGLE_FILE=1 -sEXIT_RUNTIME=1)

# The browser tests' Python: the first python3 on the PATH with the modules they drive the
# browsers with.
salestax_require_python3(SALESTAX_BROWSER_PYTHON3 "selenium, websockets" "python3-selenium and python3-websockets")

# The accessibility audit: axe-core (pinned in tests/web/package-lock.json, installed into
# the build tree by npm ci; the first install needs the npm registry) on the page in Chromium
# and Firefox, at start, with a tax, with the report, light and dark, desktop and phone sizes.
add_test(NAME web_page_accessibility_audit
  COMMAND ${SALESTAX_BROWSER_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/web/accessibility_audit.py
          ${PROJECT_BINARY_DIR}/web/salestax.html ${CMAKE_CURRENT_BINARY_DIR}/web/npm chromium firefox)
set_tests_properties(web_page_accessibility_audit PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)

# The page in real browsers, driven through WebDriver by real keys and the pointer, from a
# disk and over http from a private server: Chromium (chromedriver), Firefox ESR (WebDriver
# BiDi) and WebKitGTK (WebKitWebDriver on a private Xvfb). Screenshots in screenshots/.
salestax_require_program(SALESTAX_CHROMEDRIVER chromedriver chromium-driver)
salestax_require_program(SALESTAX_FIREFOX firefox-esr firefox-esr)
salestax_require_program(SALESTAX_WEBKITWEBDRIVER WebKitWebDriver webkit2gtk-driver)
salestax_require_program(SALESTAX_XVFB Xvfb xvfb)
foreach(_browser chromium firefox webkit)
  add_test(NAME web_page_in_${_browser}
    COMMAND ${SALESTAX_BROWSER_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/web/page_test.py ${_browser}
            --page ${PROJECT_BINARY_DIR}/web/salestax.html --screenshots ${PROJECT_BINARY_DIR}/screenshots
            --facts ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:facts>)
  set_tests_properties(web_page_in_${_browser} PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)
endforeach()

# The page in Chromium where only an emulation can say, through the DevTools protocol: no
# inert (a script run before the page), access keys on layouts where Alt and the letter type
# another character (Option on a Mac, Russian), a held key's own repeats, and a phone (its
# size, touch input, the decimal keypad, 44 px targets). Phone screenshots in screenshots/.
add_test(NAME web_page_emulated_in_chromium
  COMMAND ${SALESTAX_BROWSER_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/web/emulations_test.py
          --page ${PROJECT_BINARY_DIR}/web/salestax.html --screenshots ${PROJECT_BINARY_DIR}/screenshots
          --facts ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:facts>)
set_tests_properties(web_page_emulated_in_chromium PROPERTIES RUN_SERIAL TRUE TIMEOUT 180)

# The page's start where the browser lacks what today's have (a compile over 4 KB on the page's
# thread, Uint8Array.fromBase64, inert, WebAssembly's exceptions, WebAssembly), where the module
# fails to start, and with JavaScript off, each emulated in Chromium by a script run before the
# page's own: it works, or says why on the page and takes no input. A screenshot of the message.
add_test(NAME web_page_in_old_browsers
  COMMAND ${SALESTAX_BROWSER_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/web/old_browsers_test.py
          --page ${PROJECT_BINARY_DIR}/web/salestax.html --screenshots ${PROJECT_BINARY_DIR}/screenshots)
set_tests_properties(web_page_in_old_browsers PROPERTIES RUN_SERIAL TRUE TIMEOUT 180)

# The page under Orca, Debian's screen reader, in Chromium and in Firefox ESR, headed on a
# private Xvfb: what it says at start, for a tax and the same tax again, for a state picked,
# and for a report and its dismissal, read from the speech it was given.
salestax_require_program(SALESTAX_CHROMIUM chromium chromium)
salestax_require_program(SALESTAX_ORCA orca orca)
foreach(_browser chromium firefox)
  add_test(NAME orca_in_${_browser}
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/process/web_orca_test.sh ${_browser} ${PROJECT_BINARY_DIR}/web/salestax.html)
  set_tests_properties(orca_in_${_browser} PROPERTIES RUN_SERIAL TRUE TIMEOUT 120)
endforeach()

# The access keys in a headed Chromium and Firefox ESR, a window with its address bar and menus
# on a private Xvfb under openbox, each pressed through the X server as a hand presses it: the
# page takes each one, and the browser acts on none (Alt+D is also the address bar's key).
salestax_require_program(SALESTAX_XDOTOOL xdotool xdotool)
salestax_require_program(SALESTAX_OPENBOX openbox openbox)
add_test(NAME web_access_keys_in_headed_browsers
  COMMAND ${SALESTAX_BROWSER_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/web/headed_keys_test.py
          --page ${PROJECT_BINARY_DIR}/web/salestax.html chromium firefox)
set_tests_properties(web_access_keys_in_headed_browsers PROPERTIES RUN_SERIAL TRUE TIMEOUT 180)

# The page as an app, served from its folder (web/app): installable in Chromium (its manifest,
# icons and theme colours), and in each browser its worker keeping it for offline use and
# taking a new release at the next start; Lighthouse on it as a phone (pinned with axe-core,
# installed into the same folder).
foreach(_browser chromium firefox webkit)
  add_test(NAME web_app_in_${_browser}
    COMMAND ${SALESTAX_BROWSER_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/web/app_test.py ${_browser} --app ${PROJECT_BINARY_DIR}/web/app
            --worker ${SALESTAX_BROWSER_PYTHON3} ${PROJECT_SOURCE_DIR}/generators/make_worker.py ${PROJECT_SOURCE_DIR}/web/app/sw.js.in
            --facts ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:facts>)
  set_tests_properties(web_app_in_${_browser} PROPERTIES RUN_SERIAL TRUE TIMEOUT 180)
endforeach()
add_test(NAME web_app_lighthouse
  COMMAND ${SALESTAX_BROWSER_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/web/app_test.py lighthouse --app ${PROJECT_BINARY_DIR}/web/app
          --tools ${CMAKE_CURRENT_BINARY_DIR}/web/npm)
set_tests_properties(web_app_lighthouse PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)
