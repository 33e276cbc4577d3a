# Install rules. The programs keep the tree they run from in the build (hall/ with xqhall and the
# hall's pictures, hall/game/ with the table client, the server and their skins and sounds),
# under the private folder of the project; the commands a user types are links in bin/.
include(GNUInstallDirs)

set(XQ_INSTALL_TREE ${CMAKE_INSTALL_LIBEXECDIR}/xqtable)
set(XQ_INSTALL_HALL ${XQ_INSTALL_TREE}/hall)
set(XQ_INSTALL_GAME ${XQ_INSTALL_HALL}/game)

install(TARGETS xqhall RUNTIME DESTINATION ${XQ_INSTALL_HALL} COMPONENT client)
install(TARGETS xqtable RUNTIME DESTINATION ${XQ_INSTALL_GAME} COMPONENT client)
install(DIRECTORY ${XQ_HALL_DIR}/res ${XQ_HALL_DIR}/UserRes DESTINATION ${XQ_INSTALL_HALL}
        COMPONENT client)
install(DIRECTORY ${XQ_GAME_DIR}/Res ${XQ_GAME_DIR}/Sound DESTINATION ${XQ_INSTALL_GAME}
        COMPONENT client)
install(TARGETS xqrecord RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT client)

install(TARGETS xqtable-server RUNTIME DESTINATION ${XQ_INSTALL_GAME} COMPONENT server)
install(TARGETS xqperft RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT server)

# bin/NAME -> the program in the tree, relative so that the tree can be moved as a whole (a
# package unpacked under another root). The programs find their folder through /proc/self/exe,
# which names the program, not the link.
function(xq_install_link name target component)
    file(RELATIVE_PATH to ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}
         ${CMAKE_INSTALL_PREFIX}/${target})
    install(CODE "
        set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${name}\")
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(REMOVE \"\${link}\")
        file(CREATE_LINK \"${to}\" \"\${link}\" SYMBOLIC)
        message(STATUS \"Installing: \${link} -> ${to}\")
    " COMPONENT ${component})
endfunction()
xq_install_link(xqhall ${XQ_INSTALL_HALL}/xqhall client)
xq_install_link(xqtable ${XQ_INSTALL_GAME}/xqtable client)
xq_install_link(xqtable-server ${XQ_INSTALL_GAME}/xqtable-server server)

# The desktop's side: entries for the hall and for a game against the computer (the script that
# starts a one-table room with the computer and opens the table at it), the icon, and AppStream.
file(RELATIVE_PATH XQ_GAME_FROM_BIN ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${XQ_INSTALL_GAME})
configure_file(${PROJECT_SOURCE_DIR}/packaging/xqtable-computer.in
               ${CMAKE_BINARY_DIR}/packaging/xqtable-computer @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/io.github.xqtable.xqhall.metainfo.xml
               ${CMAKE_BINARY_DIR}/packaging/io.github.xqtable.xqhall.metainfo.xml @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/xqtable-computer
        DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT client)
# The table client starts only with the token the hall hands on; the script hands on the same.
install(FILES ${CMAKE_BINARY_DIR}/launch-token DESTINATION ${XQ_INSTALL_GAME} COMPONENT client)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/xqhall.desktop
              ${PROJECT_SOURCE_DIR}/packaging/xqtable-computer.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT client)
install(FILES ${CMAKE_BINARY_DIR}/builtin-pictures/xqtable.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps COMPONENT client)
install(FILES ${CMAKE_BINARY_DIR}/packaging/io.github.xqtable.xqhall.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT client)

# The service: its unit, and its arguments where an administrator changes them.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/xqtable-server.service
        DESTINATION lib/systemd/system COMPONENT server)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/xqtable-server.default
        DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/default RENAME xqtable-server
        COMPONENT server)
