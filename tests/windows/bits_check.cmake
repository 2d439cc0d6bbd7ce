# bits_check.exe: the model core's bit-exact results (normal table,
# rotations, blends) in the Windows build, against the host tests' pinned
# values; linked with md3core, without GL (run under Wine from the host
# build's ctest).
add_executable(bits_check ${CMAKE_CURRENT_LIST_DIR}/bits_check.cpp ${CMAKE_CURRENT_LIST_DIR}/../md3/bits_cases.cpp)
target_include_directories(bits_check PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../md3)
target_link_libraries(bits_check PRIVATE md3core)
