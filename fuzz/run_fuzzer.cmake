# Runs one fuzzer over a copy of its seed corpus, so that the inputs it adds never land in the
# repository, and reports its executions and their rate.
#   cmake -DFUZZER=<program> -DSEEDS=<folder or file>[;...] -DWORK=<folder> -DRUNS=<n>
#         [-DSEED=<n>] [-DFRESH=ON] [-DOPTIONS="<libFuzzer option> ..."] -P run_fuzzer.cmake
# SEEDS lists seed corpus folders, whose files are seeds, and single seed files.
# WORK/corpus is the copy; crashing inputs are saved in WORK; WORK/summary.txt gets one line.
# FRESH starts the copy anew from the seeds; without it, what earlier runs found is kept.
foreach(required IN ITEMS FUZZER SEEDS WORK RUNS)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "run_fuzzer.cmake needs -D${required}=...")
    endif()
endforeach()

if(FRESH)
    file(REMOVE_RECURSE "${WORK}")
endif()
file(MAKE_DIRECTORY "${WORK}/corpus")
foreach(seed IN LISTS SEEDS)
    if(IS_DIRECTORY "${seed}")
        file(GLOB files "${seed}/*")
    elseif(EXISTS "${seed}")
        set(files "${seed}")
    else()
        message(FATAL_ERROR "no seed ${seed}")
    endif()
    file(COPY ${files} DESTINATION "${WORK}/corpus")
endforeach()

set(options -runs=${RUNS} -print_final_stats=1 "-artifact_prefix=${WORK}/")
if(OPTIONS)
    separate_arguments(extra UNIX_COMMAND "${OPTIONS}")
    list(APPEND options ${extra})
endif()
if(DEFINED SEED)
    list(APPEND options -seed=${SEED})
endif()
execute_process(COMMAND "${FUZZER}" ${options} "${WORK}/corpus"
                RESULT_VARIABLE result
                ERROR_VARIABLE log ECHO_ERROR_VARIABLE)

get_filename_component(name "${FUZZER}" NAME)
string(REGEX MATCH "number_of_executed_units: *([0-9]+)" _ "${log}")
set(executions "${CMAKE_MATCH_1}")
string(REGEX MATCH "average_exec_per_sec: *([0-9]+)" _ "${log}")
set(rate "${CMAKE_MATCH_1}")
# libFuzzer counts whole seconds, so a run shorter than one has no rate.
if(rate STREQUAL "0")
    set(rate "(under a second)")
else()
    set(rate "${rate} exec/s")
endif()
set(summary "${name}: ${executions} executions, ${rate}")
file(WRITE "${WORK}/summary.txt" "${summary}\n")
message(STATUS "${summary}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${name} failed (${result}); the input that did it is in ${WORK}")
endif()
