# Runs halvane-usi's bench at each strength and go perft on two positions, and compares every signature
# line with the pinned one. Called by CTest with USI (the program) and EXPECTED (the pinned lines).
set(midgame "l6nl/5+P1gk/2np1S3/p1p4Pp/3P2Sp1/1PPb2P1P/P5GS1/R8/LN4bKL w RGgsn5p 1")
# One run per bench or perft: a later command that needs the engine (and quit) would stop a running one;
# the end of input lets it finish.
set(runs
  "setoption name Strength value chuukara\nbench\n"
  "setoption name Strength value karakuchi\nbench\n"
  "setoption name Strength value gekikara\nbench\n"
  "position startpos\ngo perft 4\n"
  "position sfen ${midgame}\ngo perft 3\n")
set(output "")
foreach(run IN LISTS runs)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/signature_input.txt "${run}")
  execute_process(COMMAND ${USI} INPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/signature_input.txt
                  OUTPUT_VARIABLE run_output RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "halvane-usi ended with ${status}")
  endif()
  string(APPEND output "${run_output}")
endforeach()

# The lines that carry the signature, in order: three bench signatures, then the two perft totals.
string(REPLACE "\n" ";" lines "${output}")
set(seen)
set(perft_names "perft startpos 4" "perft midgame 3")
set(perft_index 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^bench signature: ")
    list(APPEND seen "${line}")
  elseif(line MATCHES "^Nodes searched: ")
    list(GET perft_names ${perft_index} name)
    math(EXPR perft_index "${perft_index} + 1")
    list(APPEND seen "${name}: ${line}")
  endif()
endforeach()

set(failed FALSE)
list(LENGTH EXPECTED count)
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  list(GET EXPECTED ${i} want)
  list(LENGTH seen seen_count)
  if(i LESS seen_count)
    list(GET seen ${i} got)
  else()
    set(got "(missing)")
  endif()
  if(got STREQUAL want)
    message(STATUS "same: ${got}")
  else()
    message(STATUS "DIFFERENT:\n  pinned: ${want}\n  now:    ${got}")
    set(failed TRUE)
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "the search's behaviour changed (a deliberate change updates the pinned line)")
endif()
