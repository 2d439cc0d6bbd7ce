# The .pk3 reader and the game's search order (game_files).
add_executable(game_files_tests ${CMAKE_CURRENT_LIST_DIR}/files_test.cpp)
target_link_libraries(game_files_tests PRIVATE game_files pk3_writer test_support)
add_test(NAME game_files_tests COMMAND game_files_tests)
set_tests_properties(game_files_tests PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}")
