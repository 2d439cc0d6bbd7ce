# The scene against Mesa with the generated sample data: what a frame shows,
# the state it leaves between frames, the assembled model, the sample
# model's own soundness, and a torso and legs too short for the pose frame,
# through the viewer's own scene and view (viewer_shell); beside them the
# frame rate's window and text (fps), which needs no context.

set(MD3V_SHORT_SAMPLE_DIR ${CMAKE_BINARY_DIR}/samples_short)
add_custom_command(OUTPUT ${MD3V_SHORT_SAMPLE_DIR}/upper.md3
  COMMAND ${CMAKE_COMMAND} -E make_directory ${MD3V_SHORT_SAMPLE_DIR}
  COMMAND make_samples ${MD3V_SHORT_SAMPLE_DIR} --legs-frames 60 --torso-frames 50
  DEPENDS make_samples)
add_custom_target(samples_short ALL DEPENDS ${MD3V_SHORT_SAMPLE_DIR}/upper.md3)

# One scene per process: the scene's models are loaded once and kept.
foreach(variant scene scene_short)
  add_executable(${variant}_tests ${CMAKE_CURRENT_LIST_DIR}/${variant}_test.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/scene_fixture.cpp)
  target_link_libraries(${variant}_tests PRIVATE viewer_shell test_support)
  add_test(NAME ${variant}_tests COMMAND ${variant}_tests)
  set_tests_properties(${variant}_tests PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}" LABELS scene)
endforeach()
target_compile_definitions(scene_tests PRIVATE MD3V_SAMPLE_DIR="${CMAKE_BINARY_DIR}/samples")
target_compile_definitions(scene_short_tests PRIVATE MD3V_SAMPLE_DIR="${MD3V_SHORT_SAMPLE_DIR}")
add_dependencies(scene_tests samples)
add_dependencies(scene_short_tests samples_short)

# The camera, key table and animation clock (viewer_input), without GL.
add_executable(viewer_input_tests ${CMAKE_CURRENT_LIST_DIR}/viewer_input_test.cpp)
target_link_libraries(viewer_input_tests PRIVATE viewer_input GTest::gtest GTest::gtest_main)
add_test(NAME viewer_input_tests COMMAND viewer_input_tests)
set_tests_properties(viewer_input_tests PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}" LABELS scene)
