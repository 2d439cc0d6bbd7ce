# Replays of the fuzz inputs in the normal host build: every input under
# tests/fuzz/regressions (inputs that once crashed, hung or leaked) and the
# generated seeds go through the same checks as in the fuzz targets.
add_executable(fuzz_replay_tests
    ${CMAKE_CURRENT_LIST_DIR}/replay_test.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/fuzz_file.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/md3_harness.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/tga_harness.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/upload_harness.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/convert_harness.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/image_harness.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/seeds.cpp)
target_include_directories(fuzz_replay_tests PRIVATE ${PROJECT_SOURCE_DIR}/fuzz)
target_compile_definitions(fuzz_replay_tests PRIVATE
    MD3V_REGRESSION_DIR="${CMAKE_CURRENT_LIST_DIR}/regressions")
target_link_libraries(fuzz_replay_tests PRIVATE md3core tga tga_core tga_convert game_image sample_writers
                      test_support)
add_test(NAME fuzz_replay COMMAND fuzz_replay_tests)
set_tests_properties(fuzz_replay PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}")

# The .pk3 reader's inputs and seeds, through fuzz_pk3's harness.
target_sources(fuzz_replay_tests PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/pk3_harness.cpp
               ${PROJECT_SOURCE_DIR}/fuzz/pk3_seeds.cpp)
target_link_libraries(fuzz_replay_tests PRIVATE game_files pk3_writer)
# --- game text readers: their regressions, and the hand-written seeds with
# the reader each one is for reading it cleanly.
target_sources(fuzz_replay_tests PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/game_text_harness.cpp)
target_compile_definitions(fuzz_replay_tests PRIVATE
    MD3V_GAME_TEXT_SEED_DIR="${PROJECT_SOURCE_DIR}/fuzz/game_text_seeds")
target_link_libraries(fuzz_replay_tests PRIVATE game_text)
# --- end of game text readers
