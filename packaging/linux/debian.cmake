# What the .deb carries besides the program folder, so that it is a good citizen of the system: the
# command `orvane`, its manual page, the copyright and changelog, AppStream metadata for software
# centres, the lintian overrides, and a long description. Included by packaging/CMakeLists.txt once
# CPACK_PACKAGE_VERSION is known and before CPack itself.

set(ORVANE_DEB_LINUX ${CMAKE_CURRENT_SOURCE_DIR}/linux)
set(ORVANE_DEB_STAGE ${CMAKE_CURRENT_BINARY_DIR}/deb)
set(ORVANE_PACKAGE_VERSION ${CPACK_PACKAGE_VERSION})
file(MAKE_DIRECTORY ${ORVANE_DEB_STAGE})

# /usr/bin/orvane: between top-level folders Debian wants the link absolute.
file(CREATE_LINK ${ORVANE_DEB_PROGRAM_DIR}/ORVN ${ORVANE_DEB_STAGE}/orvane SYMBOLIC)
install(FILES ${ORVANE_DEB_STAGE}/orvane DESTINATION /usr/bin COMPONENT desktop EXCLUDE_FROM_ALL)

# The changelog's newest entry must name the package's version. A build of a version that the
# changelog does not know yet gets an entry of its own on top.
file(READ ${ORVANE_DEB_LINUX}/changelog ORVANE_CHANGELOG)
string(REGEX MATCH "^orvane \\(([^)]+)\\)" _ "${ORVANE_CHANGELOG}")
if(NOT CMAKE_MATCH_1 STREQUAL ORVANE_PACKAGE_VERSION)
    string(TIMESTAMP _date "%a, %d %b %Y %H:%M:%S +0000" UTC)
    string(PREPEND ORVANE_CHANGELOG
        "orvane (${ORVANE_PACKAGE_VERSION}) stable; urgency=medium\n\n  * Release ${ORVANE_PACKAGE_VERSION}.\n\n"
        " -- ${CPACK_PACKAGE_CONTACT}  ${_date}\n\n")
endif()
file(WRITE ${ORVANE_DEB_STAGE}/changelog "${ORVANE_CHANGELOG}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ORVANE_DEB_LINUX}/changelog)

# Compressed without the file name and time stamp (gzip -n), so that the package is reproducible.
find_program(ORVANE_GZIP gzip REQUIRED)
set(ORVANE_DEB_COMPRESSED)
foreach(pair "${ORVANE_DEB_STAGE}/changelog|changelog.gz" "${ORVANE_DEB_LINUX}/orvane.1|orvane.1.gz")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 name)
    add_custom_command(OUTPUT ${ORVANE_DEB_STAGE}/${name}
        COMMAND sh -c "'${ORVANE_GZIP}' -9nc '${source}' > '${ORVANE_DEB_STAGE}/${name}'"
        DEPENDS ${source}
        VERBATIM)
    list(APPEND ORVANE_DEB_COMPRESSED ${ORVANE_DEB_STAGE}/${name})
endforeach()
add_custom_target(orvane_deb_files ALL DEPENDS ${ORVANE_DEB_COMPRESSED})
install(FILES ${ORVANE_DEB_STAGE}/orvane.1.gz DESTINATION /usr/share/man/man1 COMPONENT desktop EXCLUDE_FROM_ALL)
install(FILES ${ORVANE_DEB_STAGE}/changelog.gz ${ORVANE_DEB_LINUX}/copyright
        DESTINATION /usr/share/doc/orvane COMPONENT desktop EXCLUDE_FROM_ALL)

configure_file(${ORVANE_DEB_LINUX}/net.orvane.ORVN.metainfo.xml.in ${ORVANE_DEB_STAGE}/net.orvane.ORVN.metainfo.xml @ONLY)
install(FILES ${ORVANE_DEB_STAGE}/net.orvane.ORVN.metainfo.xml DESTINATION /usr/share/metainfo
        COMPONENT desktop EXCLUDE_FROM_ALL)

install(FILES ${ORVANE_DEB_LINUX}/lintian-overrides DESTINATION /usr/share/lintian/overrides RENAME orvane
        COMPONENT desktop EXCLUDE_FROM_ALL)

set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://orvane.net/)
# The extended description; CPack puts the summary line before it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Orvane TV shows a network television service on the desktop: its live
channels, replays, video on demand and applications pages in one skinned
window, with the service's banner, scrolling text and pop-up announcements.
It keeps running in the system tray, offers nine skins and full-screen video.

The updater beside it checks the service for new versions, verifies their
signature and installs them.

The programs live in /opt/orvane; the command orvane starts the client.")
