# Tries the layer check on made-up trees and link lists: each case must pass or fail as stated,
# and a failure must name the file and line (or the target and its road) it is about.
#   cmake -DCHECKER=layer_check.cmake -DWORK=scratch-folder -P layer_check_test.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK})
# A stand-in for Qt's headers: the check only asks which module folder holds a header.
foreach(header QtCore/QString QtGui/QPainter QtWidgets/QWidget)
    file(WRITE ${WORK}/qt/${header} "")
endforeach()
set(qt_modules "QtCore|${WORK}/qt/QtCore;QtGui|${WORK}/qt/QtGui;QtWidgets|${WORK}/qt/QtWidgets")

# The folders every case has, with one header each to include.
set(base_files
    src/rules/board.h "#pragma once\n"
    src/net/frame.h "#pragma once\n"
    src/game/table.h "#pragma once\n"
    src/ui/main_window.h "#pragma once\n"
    src/startup/session.h "#pragma once\n"
    server/bot/bot_player.h "#pragma once\n"
    server/main.cpp "int main() {}\n")
set(base_rules
    "include src/rules/* may -"
    "include src/net/* may src/rules QtCore"
    "include src/game/* may src/rules src/net src/startup QtCore"
    "include src/ui/* may src/game src/net QtCore QtGui QtWidgets"
    "include src/startup/* may QtCore"
    "include server/main.cpp may src/net server/bot QtCore"
    "include server/* may src/net src/rules QtCore")

set(failures "")
set(count 0)
# layer_case(name PASS|FAIL [MATCH regex] [FILES path text...] [RULES line...]
#            [LINKS target deps,...] [NO_BASE_RULES])
function(layer_case name expect)
    cmake_parse_arguments(PARSE_ARGV 2 c "NO_BASE_RULES" "MATCH" "FILES;RULES;LINKS")
    set(root ${WORK}/${name})
    set(files ${base_files} ${c_FILES})
    list(LENGTH files n)
    math(EXPR last "${n} - 1")
    foreach(i RANGE 0 ${last} 2)
        math(EXPR j "${i} + 1")
        list(GET files ${i} path)
        list(GET files ${j} text)
        file(WRITE ${root}/${path} "${text}")
    endforeach()
    set(rules ${c_RULES})
    if(NOT c_NO_BASE_RULES)
        list(APPEND rules ${base_rules})
    endif()
    list(JOIN rules "\n" rules_text)
    file(WRITE ${root}/rules.txt "${rules_text}\n")
    set(facts "set(LAYER_QT_MODULES [==[${qt_modules}]==])\n")
    set(targets "")
    list(LENGTH c_LINKS n)
    if(n GREATER 0)
        math(EXPR last "${n} - 1")
        foreach(i RANGE 0 ${last} 2)
            math(EXPR j "${i} + 1")
            list(GET c_LINKS ${i} target)
            list(GET c_LINKS ${j} deps)
            string(REPLACE "," ";" deps "${deps}")
            string(MAKE_C_IDENTIFIER "${target}" id)
            string(APPEND facts "set(LAYER_LINKS_${id} [==[${deps}]==])\n")
            list(APPEND targets ${target})
        endforeach()
    endif()
    string(APPEND facts "set(LAYER_TARGETS [==[${targets}]==])\n")
    file(WRITE ${root}/facts.cmake "${facts}")

    execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${root} -DRULES=${root}/rules.txt
                            -DFACTS=${root}/facts.cmake -P ${CHECKER}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    set(why "")
    if(expect STREQUAL "PASS" AND NOT rc EQUAL 0)
        set(why "should pass, failed")
    elseif(expect STREQUAL "FAIL" AND rc EQUAL 0)
        set(why "should fail, passed")
    elseif(c_MATCH AND NOT out MATCHES "${c_MATCH}")
        set(why "output does not match '${c_MATCH}'")
    endif()
    math(EXPR c "${count} + 1")
    set(count ${c} PARENT_SCOPE)
    if(NOT why STREQUAL "")
        set(failures "${failures}\n${name}: ${why}:\n${out}" PARENT_SCOPE)
    endif()
endfunction()

layer_case(allowed_includes PASS
    FILES src/rules/move.cpp "#include \"rules/board.h\"\n#include \"board.h\"\n#include <vector>\n"
          src/game/table.cpp "#include \"game/table.h\"\n#include \"net/frame.h\"\n#include <QString>\n"
          src/ui/window.cpp "  #  include <QWidget>\n#include <QtGui/QPainter>\n#include \"game/table.h\"\n"
          server/main.cpp "#include \"server/bot/bot_player.h\"\n")
layer_case(rules_may_not_use_qt FAIL
    MATCH "src/rules/move.cpp:3: includes <QString> \\(QtCore\\)"
    FILES src/rules/move.cpp "// the moves\n\n#include <QString>\n")
layer_case(qt_module_named_in_the_path FAIL
    MATCH "src/game/view.cpp:2: includes <QtWidgets/QWidget> \\(QtWidgets\\)"
    FILES src/game/view.cpp "#include <QString>\n#include <QtWidgets/QWidget>\n")
layer_case(qt_header_found_in_its_module FAIL
    MATCH "src/net/draw.cpp:1: includes <QPainter> \\(QtGui\\)"
    FILES src/net/draw.cpp "#include <QPainter>\n")
layer_case(wire_may_not_use_table_logic FAIL
    MATCH "src/net/codec.cpp:4: includes \"game/table.h\" \\(src/game\\), not one of what src/net/\\* may use: src/rules QtCore \\([^)]*rules.txt:2\\)\n[^\n]*\n  1 layer fault"
    FILES src/net/codec.cpp "#include \"net/frame.h\"\n\n#include <vector>\n#include \"game/table.h\"\n")
layer_case(server_may_not_use_widgets FAIL
    MATCH "server/room.cpp:1: includes \"ui/main_window.h\" \\(src/ui\\)"
    FILES server/room.cpp "#include \"ui/main_window.h\"\n")
layer_case(first_matching_rule_decides FAIL
    MATCH "server/room.cpp:1: includes \"server/bot/bot_player.h\" \\(server/bot\\)"
    FILES server/main.cpp "#include \"server/bot/bot_player.h\"\n"
          server/room.cpp "#include \"server/bot/bot_player.h\"\n")
layer_case(commented_out_include_is_no_include PASS
    FILES src/net/codec.cpp "// #include \"game/table.h\"\n/* #include <QWidget> */\n")
layer_case(generated_header_counts_for_its_folder FAIL
    MATCH "src/net/token.cpp:1: includes \"startup/launch_token.h\" \\(src/startup\\)"
    FILES src/net/token.cpp "#include \"startup/launch_token.h\"\n")
layer_case(header_nowhere_to_be_found FAIL
    MATCH "src/net/lost.cpp:2: cannot tell which folder \"nowhere/gone.h\" is in"
    FILES src/net/lost.cpp "\n#include \"nowhere/gone.h\"\n")
layer_case(file_without_a_rule FAIL
    MATCH "src/accounts/login.cpp: no include rule covers this file"
    FILES src/accounts/login.cpp "#include \"net/frame.h\"\n")
layer_case(rule_for_a_folder_that_is_gone FAIL
    MATCH "rules.txt:1: 'src/records/\\*' matches nothing"
    RULES "include src/records/* may src/net")
layer_case(rule_that_cannot_be_read FAIL
    MATCH "rules.txt:1: not 'include GLOB may"
    RULES "include src/net/* must src/rules")

layer_case(allowed_links PASS
    RULES "link server never table_logic widgets Qt6::Gui"
    LINKS server "wire,rules,Qt6::Core" wire "rules,Qt6::Core" rules "")
layer_case(forbidden_link_direct FAIL
    MATCH "xqrecord reaches table_logic \\(xqrecord -> table_logic\\)"
    RULES "link xqrecord never table_logic"
    LINKS xqrecord "records,table_logic" records "wire")
layer_case(forbidden_link_through_others FAIL
    MATCH "server reaches Qt6::Gui \\(server -> server_net -> look -> Qt6::Gui\\)"
    RULES "link server never Qt6::Gui"
    LINKS server "server_net" server_net "wire,look" look "Qt6::Gui,Qt6::Core" wire "Qt6::Core")
layer_case(link_globs_on_both_sides FAIL
    MATCH "server_net reaches ui_board"
    RULES "link server* never ui_*"
    LINKS server "wire" server_net "server,ui_board" wire "" ui_board "")
layer_case(link_cycle_ends PASS
    RULES "link a never c"
    LINKS a "b" b "a")

if(NOT failures STREQUAL "")
    message(NOTICE "${failures}")
    message(FATAL_ERROR "layer check: some cases went wrong")
endif()
message(STATUS "layer check: all ${count} cases as expected")
