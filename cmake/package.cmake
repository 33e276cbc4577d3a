# Debian packages of the install rules (scripts/package builds them): xqtable, the hall, the
# table client and the game against the computer; xqtable-server, the room server as a service.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME xqtable)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "xqtable")
set(CPACK_PACKAGE_CONTACT "xqtable developers <xqtable@localhost>")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL client server)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The libraries the programs link, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_CLIENT_PACKAGE_NAME xqtable)
set(CPACK_DEBIAN_CLIENT_PACKAGE_SECTION games)
# One string each: the first line is the package's summary, the rest its long description.
set(CPACK_COMPONENT_CLIENT_DESCRIPTION "Chinese chess (xiangqi) online: the hall and the table client
Log in to a room, sit at a table, negotiate the terms, play with clocks, chat, take back
moves, offer draws, save, load and replay games, with engine analysis in the replay window.
A game against the computer on this machine needs the package xqtable-server.")
# Chinese text needs a CJK font; Qt's own dialogs speak Chinese with its translations.
set(CPACK_DEBIAN_CLIENT_PACKAGE_DEPENDS
    "fonts-wqy-zenhei | fonts-noto-cjk, qt6-translations-l10n, qt6-qpa-plugins")
set(CPACK_DEBIAN_CLIENT_PACKAGE_RECOMMENDS "xqtable-server, fairy-stockfish")

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME xqtable-server)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION games)
set(CPACK_COMPONENT_SERVER_DESCRIPTION "Chinese chess (xiangqi) online: the room server
The tables and the hall in front of them, with accounts, ratings and a computer opponent,
kept in SQLite or PostgreSQL; runs as the service xqtable-server.")
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS "libqt6sql6-sqlite, adduser")
set(CPACK_DEBIAN_SERVER_PACKAGE_RECOMMENDS "libqt6sql6-psql, fairy-stockfish")
# The maintainer scripts, and the service's arguments as a conffile: an administrator's changes
# to them outlive an upgrade.
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/debian-server/postinst
    ${PROJECT_SOURCE_DIR}/packaging/debian-server/prerm
    ${PROJECT_SOURCE_DIR}/packaging/debian-server/postrm
    ${PROJECT_SOURCE_DIR}/packaging/debian-server/conffiles)
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
