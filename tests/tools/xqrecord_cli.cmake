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

# convert: each file's format by its extension; PGN moves in coordinates unless asked otherwise.
function(expect_in file pattern)
    file(READ "${file}" text)
    string(FIND "${text}" "${pattern}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${file} lacks '${pattern}':\n${text}")
    endif()
endfunction()

run(0 convert "${WORK}/good.drak" "${WORK}/iccs.pgn")
expect_in("${WORK}/iccs.pgn" "[Game \"Chinese Chess\"]")
expect_in("${WORK}/iccs.pgn" "[Format \"ICCS\"]")
expect_in("${WORK}/iccs.pgn" "1. h2e2 b9c7\n*\n")
run(0 convert --notation chinese "${WORK}/good.drak" "${WORK}/chinese.pgn")
expect_in("${WORK}/chinese.pgn" "1. 炮二平五 马2进3")
run(0 convert "${WORK}/good.drak" "${WORK}/wxf.pgn" --notation WXF)
expect_in("${WORK}/wxf.pgn" "1. C2.5 H2+3")

# Back from each notation to the same .drak bytes.
file(READ "${WORK}/good.drak" good_hex HEX)
foreach(notation iccs chinese wxf)
    run(0 convert "${WORK}/${notation}.pgn" "${WORK}/${notation}.drak")
    file(READ "${WORK}/${notation}.drak" hex HEX)
    if(NOT hex STREQUAL good_hex)
        message(FATAL_ERROR "${notation}.pgn came back as ${hex}, not ${good_hex}")
    endif()
endforeach()

# A hand-written game that black opens from a set position.
file(WRITE "${WORK}/black.pgn" "[FEN \"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b - - 0 1\"]\n\n1... 炮8平5 {中炮}\n2. C2.5\n")
run(1 convert "${WORK}/black.pgn" "${WORK}/black.drak")
if(NOT err MATCHES "opening position" OR EXISTS "${WORK}/black.drak")
    message(FATAL_ERROR "a set position went into a .drak file: '${err}'")
endif()
run(0 convert "${WORK}/black.pgn" "${WORK}/black.txt")
file(READ "${WORK}/black.txt" hex HEX)
# "黑1 ：炮8平5" and "红2 ：炮二平五" in code page 936.
set(expected "bada3120a3bac5da38c6bd350d0abaec3220a3bac5dab6fec6bdcee50d0a")
if(NOT hex STREQUAL expected)
    message(FATAL_ERROR "black.txt is ${hex}, expected ${expected}")
endif()
run(0 check "${WORK}/black.pgn")
if(NOT out MATCHES "^ok: 2 moves replayed from the record's own start")
    message(FATAL_ERROR "check of a PGN printed '${out}'")
endif()
run(0 convert --notation wxf "${WORK}/black.pgn" "${WORK}/black-wxf.pgn")
expect_in("${WORK}/black-wxf.pgn" "1... C8.5\n2. C2.5\n")

# Unreadable input: exit 2 with the line at fault; a record the rules refuse: exit 1.
file(WRITE "${WORK}/twice.pgn" "[FEN \"4k4/9/9/9/9/R8/9/R8/9/3K5 w\"]\n\n1. 车九进一\n")
run(2 convert "${WORK}/twice.pgn" "${WORK}/twice.drak")
if(NOT err MATCHES "twice.pgn line 3: '车九进一' fits more than one move")
    message(FATAL_ERROR "an ambiguous move was told as '${err}'")
endif()
file(WRITE "${WORK}/wrong.pgn" "1. h2e2 h9g7\n2. h2h3\n")
run(2 convert "${WORK}/wrong.pgn" "${WORK}/wrong.drak")
if(NOT err MATCHES "wrong.pgn line 2: 'h2h3' cannot be played here")
    message(FATAL_ERROR "an illegal move was told as '${err}'")
endif()
run(2 convert "${WORK}/missing.pgn" "${WORK}/missing.drak")
run(2 convert "${WORK}/good.txt" "${WORK}/from-text.drak")
run(1 convert "${WORK}/bad.drak" "${WORK}/bad.pgn")
if(NOT err MATCHES "line 3" OR EXISTS "${WORK}/bad.pgn")
    message(FATAL_ERROR "a record the rules refuse was converted: '${err}'")
endif()
run(1 convert "${WORK}/good.drak" "${WORK}/no/such/folder/out.pgn")

# Wrong use.
run(2 convert --notation long "${WORK}/good.drak" "${WORK}/x.pgn")
run(2 convert --notation wxf "${WORK}/good.drak" "${WORK}/x.txt")
run(2 convert "${WORK}/good.drak")
run(2 text --notation wxf "${WORK}/good.drak")
