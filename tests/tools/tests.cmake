# The inspection programs, run as a person runs them on the sample data and
# on damaged copies of it.
add_test(NAME info_tools
         COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/info.sh $<TARGET_FILE:md3info> $<TARGET_FILE:tgainfo>
                 ${CMAKE_BINARY_DIR}/samples)
set_tests_properties(info_tools PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}" FAIL_REGULAR_EXPRESSION "FAIL:")

# The converter's decoder on hand-made files, byte for byte.
add_executable(tga_convert_tests ${CMAKE_CURRENT_LIST_DIR}/tga_convert_test.cpp)
target_link_libraries(tga_convert_tests PRIVATE tga_convert sample_writers test_support)
add_test(NAME tga_convert_tests COMMAND tga_convert_tests)
set_tests_properties(tga_convert_tests PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}")

# tgaconv run as a person runs it, on hand-made files and the sample skin.
add_test(NAME convert_tool
         COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/conv.sh $<TARGET_FILE:tgaconv> $<TARGET_FILE:tgainfo>
                 ${CMAKE_BINARY_DIR}/samples)
set_tests_properties(convert_tool PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}" FAIL_REGULAR_EXPRESSION "FAIL:")

# tgaconv against Pillow (Debian's python3-pil) on files that Pillow writes,
# read back through the library's own reader; skipped without Pillow.
add_executable(tga_dump ${CMAKE_CURRENT_LIST_DIR}/tga_dump.cpp)
target_link_libraries(tga_dump PRIVATE tga_core)
add_test(NAME convert_pillow
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/pillow_compare.py $<TARGET_FILE:tgaconv>
                 $<TARGET_FILE:tga_dump>)
set_tests_properties(convert_pillow PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}" SKIP_RETURN_CODE 77
                     FAIL_REGULAR_EXPRESSION "FAIL:")

# tgaconv built with an operator new that fails the one allocation chosen:
# every allocation in turn, a job's files refused or the run ended in one
# line, never an abort.
add_executable(tgaconv_failing_new ${PROJECT_SOURCE_DIR}/tools/tgaconv.cpp ${PROJECT_SOURCE_DIR}/tools/conv_files.cpp
               ${CMAKE_CURRENT_LIST_DIR}/failing_new.cpp)
target_link_libraries(tgaconv_failing_new PRIVATE tga_convert)
add_test(NAME convert_tool_memory
         COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/conv_memory.sh $<TARGET_FILE:tgaconv_failing_new>)
set_tests_properties(convert_tool_memory PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}" FAIL_REGULAR_EXPRESSION "FAIL:")

# tgaconv over folders that cannot be read, run as an unprivileged user.
add_test(NAME convert_tool_unreadable COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/conv_unreadable.sh $<TARGET_FILE:tgaconv>)
set_tests_properties(convert_tool_unreadable PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}" SKIP_RETURN_CODE 77
                     FAIL_REGULAR_EXPRESSION "FAIL:")

# md3info --resolve on make_game's test game folder, against the table at
# the top of make_game.cpp.
add_test(NAME resolve_tool
         COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/resolve.sh $<TARGET_FILE:md3info> ${CMAKE_BINARY_DIR}/samples_game)
set_tests_properties(resolve_tool PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}" FAIL_REGULAR_EXPRESSION "FAIL:")
