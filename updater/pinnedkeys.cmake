# The release keys the updater trusts are fixed when it is built; nothing at run time can add one.
# The demo key is trusted only by a build that talks to the demo's own loopback update server.
set(ORVANE_DEMO_UPDATE_SERVER_URL "http://127.0.0.1:18081")
set(ORVANE_DEMO_PUBLIC_KEY_FILE ${PROJECT_SOURCE_DIR}/demo/keys/demo-release.pub)

set(ORVANE_PINNED_UPDATE_KEYS "${ORVANE_UPDATE_PUBLIC_KEYS}")
if(ORVANE_PINNED_UPDATE_KEYS STREQUAL "")
    if(ORVANE_UPDATE_SERVER_URL STREQUAL ORVANE_DEMO_UPDATE_SERVER_URL)
        file(STRINGS ${ORVANE_DEMO_PUBLIC_KEY_FILE} ORVANE_PINNED_UPDATE_KEYS REGEX "^[A-Za-z0-9+/]+=*$" LIMIT_COUNT 1)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ORVANE_DEMO_PUBLIC_KEY_FILE})
    else()
        message(WARNING "ORVANE_UPDATE_PUBLIC_KEYS is empty and ORVANE_UPDATE_SERVER_URL is not the demo's: "
                        "this build's updater will refuse every update. Pass your release public key(s) "
                        "(see README, \"Signing releases\").")
    endif()
endif()

set(count 0)
foreach(key IN LISTS ORVANE_PINNED_UPDATE_KEYS)
    string(LENGTH "${key}" length)
    if(NOT length EQUAL 44 OR NOT key MATCHES "^[A-Za-z0-9+/]+=$")
        message(FATAL_ERROR "ORVANE_UPDATE_PUBLIC_KEYS: \"${key}\" is not a base64 public key (44 characters)")
    endif()
    math(EXPR count "${count} + 1")
endforeach()
if(count GREATER 2)
    message(FATAL_ERROR "ORVANE_UPDATE_PUBLIC_KEYS: at most two keys (the current one and the next)")
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/pinnedkeys.h.in ${CMAKE_CURRENT_BINARY_DIR}/pinned/pinnedkeys.h @ONLY)

# orvane_pin_update_keys(<target>): the target's sources can include "pinnedkeys.h".
function(orvane_pin_update_keys target)
    target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/pinned)
endfunction()
