# tga_dll_check.exe: loads tga.dll by name under Wine and reads its textures
# back in a real WGL context (run from the host build's ctest).
add_executable(tga_dll_check ${CMAKE_CURRENT_LIST_DIR}/tga_dll_check.cpp)
target_include_directories(tga_dll_check PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../../tga)
target_link_libraries(tga_dll_check PRIVATE opengl32 gdi32 user32)
# Not linked against tga on purpose, but useless without it.
add_dependencies(tga_dll_check tga)
