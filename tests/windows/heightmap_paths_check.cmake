# heightmap_paths_check.exe: the height-map filter's vector paths against
# its scalar path in the Windows build, on the cases of the host's unit
# test; linked with the static tga_core (run under Wine from the host
# build's ctest).
add_executable(heightmap_paths_check ${CMAKE_CURRENT_LIST_DIR}/heightmap_paths_check.cpp
               ${CMAKE_CURRENT_LIST_DIR}/../tga/heightmap_cases.cpp)
target_include_directories(heightmap_paths_check PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../tga)
target_link_libraries(heightmap_paths_check PRIVATE tga_core)
