# Replays the committed fuzz corpora through the readers in the ordinary build.
foreach(target script settings)
  add_executable(fuzz_replay_${target} ${PROJECT_SOURCE_DIR}/fuzz/fuzz_${target}.cpp
                 ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
  target_link_libraries(fuzz_replay_${target} PRIVATE script)
  add_test(NAME fuzz_replay_${target}
           COMMAND fuzz_replay_${target} ${PROJECT_SOURCE_DIR}/fuzz/corpus/${target})
endforeach()
