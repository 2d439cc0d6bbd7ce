# tga: the reader and the height-map encodings on plain buffers (the static
# core), and the four uploads through the shared library in a real Mesa
# context.
set(TGA_TEST_DIR ${CMAKE_CURRENT_SOURCE_DIR}/tga)

add_library(tga_test_files STATIC ${TGA_TEST_DIR}/tga_test_files.cpp ${TGA_TEST_DIR}/tga_gl_checks.cpp)
target_link_libraries(tga_test_files PUBLIC test_support sample_writers)

add_executable(tga_core_tests ${TGA_TEST_DIR}/tga_read_test.cpp ${TGA_TEST_DIR}/heightmap_test.cpp)
target_link_libraries(tga_core_tests PRIVATE tga_core tga_test_files)
# The reader's fopen is wrapped, to give a stream whose read fails.
target_link_options(tga_core_tests PRIVATE -Wl,--wrap=fopen)
add_test(NAME tga_core_tests COMMAND tga_core_tests)

add_executable(tga_upload_tests ${TGA_TEST_DIR}/tga_upload_test.cpp ${TGA_TEST_DIR}/tga_bump_test.cpp)
# The reader too, asked why an export refuses a file.
target_link_libraries(tga_upload_tests PRIVATE tga tga_core tga_test_files)
add_test(NAME tga_upload_tests COMMAND tga_upload_tests)

set_tests_properties(tga_core_tests tga_upload_tests PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}")

# The du/dv upload's GL calls, recorded by stand-ins that the test
# program defines: it links the library's sources, not the shared library.
add_executable(tga_bump_calls_tests ${TGA_TEST_DIR}/tga_bump_calls_test.cpp ${PROJECT_SOURCE_DIR}/tga/tga_bump.cpp
               ${PROJECT_SOURCE_DIR}/tga/tga_texture.cpp)
target_compile_definitions(tga_bump_calls_tests PRIVATE TGA_BUILDING)
target_link_libraries(tga_bump_calls_tests PRIVATE tga_core tga_test_files)
add_test(NAME tga_bump_calls_tests COMMAND tga_bump_calls_tests)
set_tests_properties(tga_bump_calls_tests PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}")

# The vector paths of the height-map filter against the scalar one; the
# cases are shared with the Windows check (tests/windows).
add_executable(heightmap_paths_tests ${TGA_TEST_DIR}/heightmap_paths_test.cpp ${TGA_TEST_DIR}/heightmap_cases.cpp)
target_link_libraries(heightmap_paths_tests PRIVATE tga_core tga_test_files)
add_test(NAME heightmap_paths_tests COMMAND heightmap_paths_tests)
set_tests_properties(heightmap_paths_tests PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}")
