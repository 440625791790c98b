# The .deb's subscription to the operator's apt repository: its keyring, shipped as a file, and the
# deb822 source that the maintainer scripts write and remove (see linux/postinst.in for why). Without
# ORVANE_APT_URL and ORVANE_APT_KEY the package subscribes to nothing.
set(ORVANE_APT_SOURCE_NAME ${ORVANE_DEB_PACKAGE}.sources)
# apt 2.6 reads an armored keyring only under a name ending in .asc.
set(ORVANE_APT_KEYRING /usr/share/keyrings/${ORVANE_DEB_PACKAGE}-archive-keyring.asc)
set(ORVANE_DEB_CONTROL_EXTRA "")

if(ORVANE_APT_URL STREQUAL "" AND ORVANE_APT_KEY STREQUAL "")
    return()
endif()
if(ORVANE_APT_URL STREQUAL "" OR ORVANE_APT_KEY STREQUAL "")
    message(FATAL_ERROR "ORVANE_APT_URL and ORVANE_APT_KEY go together: the .deb subscribes to a repository "
                        "only with the key that signs it")
endif()
# The address lands in a shell script and a deb822 field: nothing but a plain http(s) URL may pass.
if(NOT ORVANE_APT_URL MATCHES "^https?://[A-Za-z0-9.:-]+(/[A-Za-z0-9._~%/+-]*)?$")
    message(FATAL_ERROR "ORVANE_APT_URL: \"${ORVANE_APT_URL}\" is not an http or https address")
endif()
string(REGEX REPLACE "/+$" "" ORVANE_APT_URI "${ORVANE_APT_URL}")
if(NOT EXISTS "${ORVANE_APT_KEY}")
    message(FATAL_ERROR "ORVANE_APT_KEY: no such file: ${ORVANE_APT_KEY}")
endif()
file(READ "${ORVANE_APT_KEY}" apt_key)
if(NOT apt_key MATCHES "^[ \t\r\n]*-----BEGIN PGP PUBLIC KEY BLOCK-----")
    message(FATAL_ERROR "ORVANE_APT_KEY: ${ORVANE_APT_KEY} is not an armored OpenPGP public key "
                        "(gpg --armor --export; see README, \"The apt repository\")")
endif()
if(apt_key MATCHES "PRIVATE KEY")
    message(FATAL_ERROR "ORVANE_APT_KEY: ${ORVANE_APT_KEY} holds a secret key; give the public key only")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ORVANE_APT_KEY})

get_filename_component(keyring_dir ${ORVANE_APT_KEYRING} DIRECTORY)
get_filename_component(keyring_name ${ORVANE_APT_KEYRING} NAME)
install(FILES ${ORVANE_APT_KEY} DESTINATION ${keyring_dir} RENAME ${keyring_name} COMPONENT system
        EXCLUDE_FROM_ALL)

foreach(script postinst postrm)
    configure_file(linux/${script}.in ${CMAKE_CURRENT_BINARY_DIR}/deb/${script} @ONLY
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                    WORLD_EXECUTE)
    list(APPEND ORVANE_DEB_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/deb/${script})
endforeach()
