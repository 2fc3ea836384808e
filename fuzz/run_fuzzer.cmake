# Runs one fuzz target as a ctest test:
#   cmake -D FUZZER=<exe> -D SEEDS=<dir> -D WORK=<dir> -D SECONDS=<n> -D MAX_LEN=<n> -P run_fuzzer.cmake
# The checked-in seeds are copied into WORK/corpus, which libFuzzer then
# grows; they are never written to. Crash, leak, timeout and out-of-memory
# inputs go to WORK/artifacts/. The test fails on any of them, on a nonzero
# exit and on a run that does not end with libFuzzer's "Done N runs" line,
# and otherwise prints one line with the number of executions.
foreach(variable FUZZER SEEDS WORK SECONDS MAX_LEN)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "run_fuzzer.cmake: -D ${variable}=... is missing")
  endif()
endforeach()
get_filename_component(name "${FUZZER}" NAME)

file(GLOB seeds "${SEEDS}/*")
if(NOT seeds)
  message(FATAL_ERROR "${name}: no seeds in ${SEEDS}")
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/corpus" "${WORK}/artifacts")
file(COPY ${seeds} DESTINATION "${WORK}/corpus")

execute_process(
  COMMAND "${FUZZER}" -max_total_time=${SECONDS} -max_len=${MAX_LEN} -timeout=10 -rss_limit_mb=2048
          -print_final_stats=1 "-artifact_prefix=${WORK}/artifacts/" "${WORK}/corpus"
  RESULT_VARIABLE status
  OUTPUT_VARIABLE log
  ERROR_VARIABLE log)
file(WRITE "${WORK}/fuzzer.log" "${log}")

file(GLOB findings "${WORK}/artifacts/*")
string(REGEX MATCH "Done ([0-9]+) runs in ([0-9]+) second" done "${log}")
set(runs "${CMAKE_MATCH_1}")
set(seconds "${CMAKE_MATCH_2}")

if(NOT status EQUAL 0 OR findings OR NOT done)
  # The end of the log holds the sanitizer's or libFuzzer's report.
  string(LENGTH "${log}" length)
  if(length GREATER 12000)
    math(EXPR start "${length} - 12000")
    string(SUBSTRING "${log}" ${start} -1 log)
  endif()
  message("${log}")
  set(reproduce "")
  foreach(finding ${findings})
    string(APPEND reproduce "\n  reproduce with: ${FUZZER} ${finding}")
  endforeach()
  message(FATAL_ERROR "${name}: FAILED (exit status ${status}); full log: ${WORK}/fuzzer.log${reproduce}")
endif()

file(GLOB corpus "${WORK}/corpus/*")
list(LENGTH seeds seed_count)
list(LENGTH corpus corpus_count)
message("${name}: ${runs} executions in ${seconds} s, no crash or finding "
        "(${seed_count} seeds, ${corpus_count} inputs in the corpus at the end)")
