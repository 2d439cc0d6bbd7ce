# The inspection programs, run as a person runs them on the sample data and
# on damaged copies of it.
add_test(NAME info_tools
         COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/info.sh $<TARGET_FILE:md3info> $<TARGET_FILE:tgainfo>
                 ${CMAKE_BINARY_DIR}/samples)
set_tests_properties(info_tools PROPERTIES ENVIRONMENT "${MD3V_TEST_ENV}" FAIL_REGULAR_EXPRESSION "FAIL:")
