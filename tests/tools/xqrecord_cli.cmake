# Runs xqrecord on record files written here and checks its output and exit codes.

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(run expect_code)
    execute_process(COMMAND ${XQRECORD} ${ARGN}
        RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT code EQUAL expect_code)
        message(FATAL_ERROR "xqrecord ${ARGN}: exit ${code}, expected ${expect_code}\n${out}${err}")
    endif()
    set(out "${out}" PARENT_SCOPE)
    set(err "${err}" PARENT_SCOPE)
endfunction()

# Cannon to the centre, horse out, then a red chariot that jumps over its own pawn.
file(WRITE "${WORK}/good.drak" "119#19#116#0\r\n1#2#34#0\r\n")
file(WRITE "${WORK}/bad.drak" "119#19#116#0\r\n1#2#34#0\r\n144#17#80#0\r\n")
file(WRITE "${WORK}/broken.drak" "1#2#3\r\n")
# The horse's move claims to take a pawn from an empty point.
file(WRITE "${WORK}/taken.drak" "119#19#116#0\r\n1#2#34#7\r\n")

run(0 check "${WORK}/good.drak")
if(NOT out MATCHES "^ok: 2 moves replayed")
    message(FATAL_ERROR "check of a legal record printed '${out}'")
endif()

run(1 check "${WORK}/bad.drak")
if(NOT out MATCHES "^line 3 ")
    message(FATAL_ERROR "check of an illegal record printed '${out}'")
endif()

run(1 check "${WORK}/taken.drak")
if(NOT out MATCHES "^line 2 .*the record says it took 7")
    message(FATAL_ERROR "check of a wrong captured piece printed '${out}'")
endif()

# UTF-8 on request (a terminal gets it without asking); the code page otherwise.
execute_process(COMMAND ${XQRECORD} text --utf8 "${WORK}/good.drak"
    OUTPUT_FILE "${WORK}/good-utf8.txt" RESULT_VARIABLE code)
file(READ "${WORK}/good-utf8.txt" hex HEX)
set(expected "e7baa23120efbc9ae782aee4ba8ce5b9b3e4ba940d0ae9bb913120efbc9ae9a9ac32e8bf9b330d0a")
if(NOT code EQUAL 0 OR NOT hex STREQUAL expected)
    message(FATAL_ERROR "text --utf8 gave ${hex}, expected ${expected}")
endif()

execute_process(COMMAND ${XQRECORD} text "${WORK}/good.drak" OUTPUT_FILE "${WORK}/good.txt" RESULT_VARIABLE code)
file(READ "${WORK}/good.txt" hex HEX)
# "红1 ：炮二平五" and "黑1 ：马2进3" in code page 936, CR LF after each.
set(expected "baec3120a3bac5dab6fec6bdcee50d0abada3120a3bac2ed32bdf8330d0a")
if(NOT code EQUAL 0 OR NOT hex STREQUAL expected)
    message(FATAL_ERROR "text gave ${hex}, expected ${expected}")
endif()

run(2 text "${WORK}/broken.drak")
run(2 check "${WORK}/missing.drak")
if(err STREQUAL "")
    message(FATAL_ERROR "no message for a missing file")
endif()
run(2 list "${WORK}/good.drak")
run(2)
