# The game text readers (skins, shader scripts, animation configs) on texts
# written in the tests.
add_executable(game_text_tests ${CMAKE_CURRENT_LIST_DIR}/text_test.cpp)
target_link_libraries(game_text_tests PRIVATE game_text GTest::gtest GTest::gtest_main)
add_test(NAME game_text_tests COMMAND game_text_tests)
set_tests_properties(game_text_tests PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}" LABELS game)
