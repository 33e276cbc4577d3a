# The pictures compiled into the client's main window. skin-gen draws them into
# XQ_BUILTIN_PICTURES_DIR as part of the `skins` target (tools/skin-gen), and
# xq_add_builtin_pictures(<target>) compiles them into <target> as Qt resources:
#   :/builtin/gameback.png   32×32 tile of the game pane background (imgGameBk)
#   :/builtin/logo.png       16×16 caption logo (imgLogo)
#   :/builtin/netbreak.png   32×32 disconnected mark (imgNetBreak)
#   :/builtin/hand.png       32×32 hand-raised mark (imgHand)
#   :/builtin/cursor.png     32×32 board cursor, hot spot in the middle
set(XQ_BUILTIN_PICTURES_DIR ${CMAKE_BINARY_DIR}/builtin-pictures)
set(XQ_BUILTIN_PICTURES gameback.png logo.png netbreak.png hand.png cursor.png)

function(xq_add_builtin_pictures target)
    set(qrc ${XQ_BUILTIN_PICTURES_DIR}/builtin.qrc)
    set(entries "")
    foreach(file IN LISTS XQ_BUILTIN_PICTURES)
        string(APPEND entries "        <file>${file}</file>\n")
    endforeach()
    file(CONFIGURE OUTPUT ${qrc} CONTENT
        "<RCC>\n    <qresource prefix=\"/builtin\">\n${entries}    </qresource>\n</RCC>\n")
    target_sources(${target} PRIVATE ${qrc})
    set_target_properties(${target} PROPERTIES AUTORCC ON)
    # The pictures come out of the skins step; rcc must not run before it.
    add_dependencies(${target} skins)
endfunction()
