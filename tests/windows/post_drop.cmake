# post_drop.exe: delivers WM_DROPFILES to a window as Explorer does, for the
# end-to-end test of dropping onto the viewer (run under Wine).
add_executable(post_drop ${CMAKE_CURRENT_LIST_DIR}/post_drop.cpp)
