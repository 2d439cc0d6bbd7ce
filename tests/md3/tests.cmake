# Model core tests: loading, the normal table, skins and links, rotation
# maths, and drawing against Mesa.
add_library(md3_test_files STATIC ${CMAKE_CURRENT_LIST_DIR}/md3_test_files.cpp ${CMAKE_CURRENT_LIST_DIR}/bits_cases.cpp)
target_link_libraries(md3_test_files PUBLIC md3core sample_writers test_support)

add_executable(md3_tests
  ${CMAKE_CURRENT_LIST_DIR}/md3_load_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/md3_normal_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/md3_assembly_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quat_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/draw_test.cpp)
target_link_libraries(md3_tests PRIVATE md3_test_files)
# The loader's malloc is wrapped, to fail a chosen request.
target_link_options(md3_tests PRIVATE -Wl,--wrap=malloc)
add_test(NAME md3_tests COMMAND md3_tests)

# Nothing may load a model before this program looks at the table.
add_executable(md3_normal_first_tests ${CMAKE_CURRENT_LIST_DIR}/md3_normal_first_test.cpp)
target_link_libraries(md3_normal_first_tests PRIVATE md3_test_files)
add_test(NAME md3_normal_first_tests COMMAND md3_normal_first_tests)

# Records the GL calls in place of Mesa's entry points.
add_executable(md3_draw_calls_tests ${CMAKE_CURRENT_LIST_DIR}/draw_calls_test.cpp)
target_link_libraries(md3_draw_calls_tests PRIVATE md3_test_files)
add_test(NAME md3_draw_calls_tests COMMAND md3_draw_calls_tests)

set_tests_properties(md3_tests md3_normal_first_tests md3_draw_calls_tests PROPERTIES
  ENVIRONMENT "${MD3V_TEST_ENV}" LABELS md3)
