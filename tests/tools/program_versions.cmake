# Every program answers --version with its name and the project's one version, exits 0, and
# needs no display for it (the window programs answer before they ask for one).
#   -DVERSION=X.Y.Z -DPROGRAMS="name=path;name=path;..."
set(faults "")
foreach(entry IN LISTS PROGRAMS)
    string(REPLACE "=" ";" pair "${entry}")
    list(GET pair 0 name)
    list(GET pair 1 path)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                            QT_QPA_PLATFORM=xcb "${path}" --version
                    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 20)
    if(NOT rc EQUAL 0 OR NOT out STREQUAL "${name} ${VERSION}\n")
        list(APPEND faults "${name} --version: status ${rc}, printed '${out}' ${err}")
    endif()
endforeach()
if(faults)
    string(REPLACE ";" "\n" faults "${faults}")
    message(FATAL_ERROR "${faults}")
endif()
