# The font library against Mesa: glyph placement and orientation, sprintf
# formatting, colour, and the GL state it leaves.
add_executable(font_tests ${CMAKE_CURRENT_LIST_DIR}/font_test.cpp)
target_link_libraries(font_tests PRIVATE font test_support)
add_test(NAME font_tests COMMAND font_tests)
set_tests_properties(font_tests PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}" LABELS font)
