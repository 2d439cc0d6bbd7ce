# The game data's image decoding: JPEG and PNG files written by
# stb_image_write (test only), hand-made TGA files, and the lookup names.
find_package(ZLIB REQUIRED)
add_executable(game_image_tests ${CMAKE_CURRENT_LIST_DIR}/image_test.cpp)
target_include_directories(game_image_tests PRIVATE ${MD3V_STB_DIR})
target_link_libraries(game_image_tests PRIVATE game_image sample_writers test_support ZLIB::ZLIB)
add_test(NAME game_image_tests COMMAND game_image_tests)
set_tests_properties(game_image_tests PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}")
# stb_image_write's JPEG writer shifts negative values left; the writer is
# the test's tool, not code under test.
if(MD3V_SANITIZE)
  target_compile_options(game_image_tests PRIVATE -fno-sanitize=shift)
endif()
