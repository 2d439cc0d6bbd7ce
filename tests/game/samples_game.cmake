# The test game folder that make_game writes (<build>/samples_game), read
# through the game data readers.
if(TARGET samples_game)
  add_executable(game_samples_tests ${CMAKE_CURRENT_LIST_DIR}/samples_game_test.cpp)
  target_link_libraries(game_samples_tests PRIVATE game_files game_text game_image md3core
                        GTest::gtest GTest::gtest_main)
  target_compile_definitions(game_samples_tests PRIVATE MD3V_GAME_SAMPLE_DIR="${CMAKE_BINARY_DIR}/samples_game")
  add_dependencies(game_samples_tests samples_game)
  add_test(NAME game_samples_tests COMMAND game_samples_tests)
  set_tests_properties(game_samples_tests PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}" LABELS game)
endif()
