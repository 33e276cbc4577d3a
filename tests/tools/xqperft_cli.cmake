# Runs xqperft as a user would and checks its output and exit codes.

function(run expect_code expect_last)
    execute_process(COMMAND ${XQPERFT} ${ARGN}
        RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT code EQUAL expect_code)
        message(FATAL_ERROR "xqperft ${ARGN}: exit ${code}, expected ${expect_code}\n${out}${err}")
    endif()
    if(expect_last)
        string(STRIP "${out}" out)
        string(REGEX REPLACE ".*\n" "" last "${out}")
        if(NOT last STREQUAL expect_last)
            message(FATAL_ERROR "xqperft ${ARGN}: last line '${last}', expected '${expect_last}'")
        endif()
    endif()
    if(expect_code EQUAL 2)
        string(STRIP "${err}" err)
        if(err STREQUAL "")
            message(FATAL_ERROR "xqperft ${ARGN}: no message on error")
        endif()
    endif()
    set(last_out "${out}" PARENT_SCOPE)
endfunction()

run(0 "1920" startpos 2)
run(0 "44" "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1" 1)
# The FEN may also come as separate words.
run(0 "44" rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1 1)
run(0 "1" startpos 0)

run(0 "1920" --divide startpos 2)
string(REGEX MATCHALL "[a-i][0-9][a-i][0-9]: [0-9]+" lines "${last_out}")
list(LENGTH lines n)
if(NOT n EQUAL 44)
    message(FATAL_ERROR "--divide printed ${n} move lines, expected 44")
endif()
if(NOT last_out MATCHES "h2e2: 45")
    message(FATAL_ERROR "--divide lacks the line 'h2e2: 45'")
endif()

# Options anywhere among the words.
run(0 "1920" startpos --divide 2)
run(0 "1920" startpos 2 --divide)
run(2 "" --deep startpos 2)

# Help on stdout, exit 0, with the naming of points stated once.
foreach(flag --help -h)
    execute_process(COMMAND ${XQPERFT} ${flag} startpos RESULT_VARIABLE code OUTPUT_VARIABLE out)
    if(NOT code EQUAL 0 OR NOT out MATCHES "usage: xqperft" OR NOT out MATCHES "rank 0..9 from red")
        message(FATAL_ERROR "xqperft ${flag}: exit ${code}\n${out}")
    endif()
endforeach()

# Messages name ranks as the moves do (the FEN's first row is rank 9) and name the point of a
# piece that could never stand there.
function(expect_error text)
    execute_process(COMMAND ${XQPERFT} ${ARGN} RESULT_VARIABLE code ERROR_VARIABLE err)
    if(NOT code EQUAL 2 OR NOT err MATCHES "${text}")
        message(FATAL_ERROR "xqperft ${ARGN}: exit ${code}, '${err}' lacks '${text}'")
    endif()
endfunction()
expect_error("rank 8 has 8 files" "rnbakabnr/8/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w" 1)
expect_error("a red advisor can never stand on a0" "3k5/9/9/9/9/9/9/9/9/A3K4 w" 1)
expect_error("a black elephant can never stand on a9" "b2k5/9/9/9/9/9/9/9/9/4K4 w" 1)
expect_error("a red pawn can never stand on c2" "3k5/9/9/9/9/9/9/2P6/9/4K4 w" 1)

run(2 "" startpos)
run(2 "" startpos x)
run(2 "" startpos -1)
run(2 "" startpos 3x)
run(2 "" "rnbakabnr/9 w" 2)
run(2 "" "not a fen at all" 1)
run(2 "")
