# Runs reticle-preview once and checks how it ended.
#   TOOL      the program
#   ARGS      its arguments, separated by "|" ("@" stands for OUT_DIR)
#   OUT_DIR   an empty folder made for this run; the arguments name their files in it
#   EXPECT    "rejected": exit 2, a reason and the usage, no file written
#             "unreadable": exit 1, a reason, no file written
#             "written N": exit 0, N printed, out.raw of N*N*8 bytes and out.png written
file(REMOVE_RECURSE "${OUT_DIR}")
file(MAKE_DIRECTORY "${OUT_DIR}")
string(REPLACE "@" "${OUT_DIR}" args "${ARGS}")
string(REPLACE "|" ";" args "${args}")
execute_process(COMMAND "${TOOL}" ${args} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(GLOB written "${OUT_DIR}/*")

if(EXPECT STREQUAL "rejected")
    if(NOT rc EQUAL 2)
        message(FATAL_ERROR "exit code ${rc}, expected 2\n${out}${err}")
    endif()
    if(NOT err MATCHES "^reticle-preview: [^\n]+\nusage: reticle-preview ")
        message(FATAL_ERROR "expected one line of reason, then the usage:\n${err}")
    endif()
elseif(EXPECT STREQUAL "unreadable")
    if(NOT rc EQUAL 1 OR NOT err MATCHES "^reticle-preview: [^\n]+\n$")
        message(FATAL_ERROR "exit code ${rc}, expected 1 with one line of reason\n${err}")
    endif()
elseif(EXPECT MATCHES "^written ([0-9]+)$")
    set(n ${CMAKE_MATCH_1})
    if(NOT rc EQUAL 0 OR NOT out MATCHES " N ${n} ")
        message(FATAL_ERROR "exit code ${rc}, expected 0 and N ${n}\n${out}${err}")
    endif()
    file(SIZE "${OUT_DIR}/out.raw" raw_size)
    math(EXPR expected_size "${n} * ${n} * 8")
    if(NOT raw_size EQUAL expected_size OR NOT EXISTS "${OUT_DIR}/out.png")
        message(FATAL_ERROR "out.raw has ${raw_size} bytes, expected ${expected_size}")
    endif()
    return()
else()
    message(FATAL_ERROR "unknown EXPECT: ${EXPECT}")
endif()

if(written)
    message(FATAL_ERROR "files were written: ${written}")
endif()
