# End-to-end runs of the cross-built viewer.exe under Wine and Xvfb with the
# sample data: window, picture, text, Esc, close, resize, missing files and a
# short torso; and of tga_example.exe with its data. They need the Windows
# build (MD3V_WIN_BUILD_DIR). They run one at a time: other Wine checks end
# their runs with `wineserver -k` on the shared prefix, which would take the
# viewer with them.
add_executable(shot_check ${CMAKE_CURRENT_SOURCE_DIR}/e2e/shot_check.cpp)

if(MD3V_WIN_BUILD_DIR)
  set(MD3V_E2E_ENV
      "MD3V_WINEPREFIX=${MD3V_WINEPREFIX}"
      "MD3V_WIN_BIN=${MD3V_WIN_BUILD_DIR}/bin"
      "MD3V_SAMPLES=${CMAKE_BINARY_DIR}/samples"
      "MD3V_EXAMPLE_DATA=${CMAKE_BINARY_DIR}/example_data"
      "MD3V_MAKE_SAMPLES=$<TARGET_FILE:make_samples>"
      "MD3V_SHOT_CHECK=$<TARGET_FILE:shot_check>"
      "MD3V_GAME_SAMPLES=${CMAKE_BINARY_DIR}/samples_game"
      "MD3V_MD3INFO=$<TARGET_FILE:md3info>")
  add_test(NAME e2e_imports COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/e2e/imports.sh)
  set_tests_properties(e2e_imports PROPERTIES ENVIRONMENT "MD3V_WIN_BIN=${MD3V_WIN_BUILD_DIR}/bin"
                       FAIL_REGULAR_EXPRESSION "FAIL:")
  foreach(check window close resize missing short_torso hostile example game modder)
    add_test(NAME e2e_${check} COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/e2e/${check}.sh)
    set_tests_properties(e2e_${check} PROPERTIES
      ENVIRONMENT "${MD3V_E2E_ENV}"
      RUN_SERIAL TRUE
      TIMEOUT 300
      FAIL_REGULAR_EXPRESSION "FAIL:")
  endforeach()
else()
  message(STATUS "MD3V_WIN_BUILD_DIR not set: end-to-end viewer tests skipped")
endif()
