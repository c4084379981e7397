# Run after a sharded test program is linked: writes the test rows it lists (-datatags) to ROWS,
# so ctest reads them from a file when it starts instead of starting every such program first.
# A program that cannot list them leaves no file: ctest then runs it whole, so its failure shows.
# A leak report at the listing's exit would not be a failed listing.
execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env QT_QPA_PLATFORM=offscreen "XDG_RUNTIME_DIR=${RUNTIME}"
            ASAN_OPTIONS=detect_leaks=0 "${PROGRAM}" -datatags
    OUTPUT_VARIABLE listed RESULT_VARIABLE status ERROR_QUIET)
if(status EQUAL 0)
    file(WRITE "${ROWS}" "${listed}")
else()
    file(REMOVE "${ROWS}")
endif()
