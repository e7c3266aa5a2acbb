# SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later

# The browser extension: one source for Firefox and Chromium. The build writes a manifest for
# each (background scripts for Firefox, a service worker for Chromium), each with the fixed id
# that the host manifests name, and packs Firefox's as an .xpi.
include(${CMAKE_CURRENT_LIST_DIR}/ids.cmake)
set(KEEPSAKE_EXTENSION_SOURCE ${PROJECT_SOURCE_DIR}/extension)
set(KEEPSAKE_EXTENSION_DIR ${CMAKE_BINARY_DIR}/extension)
set(KEEPSAKE_EXTENSION_FILES background.js popup.html popup.js keep.js)

foreach(browser firefox chromium)
    if(browser STREQUAL "firefox")
        set(KEEPSAKE_BACKGROUND "\"scripts\": [\"keep.js\", \"background.js\"]")
        set(KEEPSAKE_BROWSER_SETTINGS ",\n  \"browser_specific_settings\": {\"gecko\": {\"id\": \"${KEEPSAKE_FIREFOX_EXTENSION_ID}\", \"strict_min_version\": \"115.0\"}}")
    else()
        set(KEEPSAKE_BACKGROUND "\"service_worker\": \"background.js\"")
        set(KEEPSAKE_BROWSER_SETTINGS ",\n  \"key\": \"${KEEPSAKE_CHROMIUM_EXTENSION_KEY}\"")
    endif()
    configure_file(${KEEPSAKE_EXTENSION_SOURCE}/manifest.json.in
                   ${KEEPSAKE_EXTENSION_DIR}/${browser}/manifest.json @ONLY)
    foreach(file ${KEEPSAKE_EXTENSION_FILES})
        configure_file(${KEEPSAKE_EXTENSION_SOURCE}/${file} ${KEEPSAKE_EXTENSION_DIR}/${browser}/${file}
                       @ONLY)
    endforeach()
endforeach()

set(KEEPSAKE_FIREFOX_XPI ${KEEPSAKE_EXTENSION_DIR}/keepsake-keep-firefox.xpi)
set(xpi_inputs)
foreach(file manifest.json ${KEEPSAKE_EXTENSION_FILES})
    list(APPEND xpi_inputs ${KEEPSAKE_EXTENSION_DIR}/firefox/${file})
endforeach()
add_custom_command(OUTPUT ${KEEPSAKE_FIREFOX_XPI}
    COMMAND ${CMAKE_COMMAND} -E tar cf ${KEEPSAKE_FIREFOX_XPI} --format=zip manifest.json
            ${KEEPSAKE_EXTENSION_FILES}
    WORKING_DIRECTORY ${KEEPSAKE_EXTENSION_DIR}/firefox
    DEPENDS ${xpi_inputs}
    COMMENT "Packing the Firefox extension")
add_custom_target(browser_extension ALL DEPENDS ${KEEPSAKE_FIREFOX_XPI})
