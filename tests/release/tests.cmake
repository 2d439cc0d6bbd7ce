# The release as others meet it, from the Windows build in
# MD3V_WIN_BUILD_DIR: the installed layout and its tga package, a separate
# CMake project built against that package, and the zip unpacked and run.
if(MD3V_WIN_BUILD_DIR)
  set(MD3V_RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
  set(MD3V_RELEASE_SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/release)

  add_test(NAME release_install
           COMMAND ${CMAKE_COMMAND} -DWIN_BUILD=${MD3V_WIN_BUILD_DIR} -DPREFIX=${MD3V_RELEASE_DIR}/install
                   -DSOURCE=${PROJECT_SOURCE_DIR} -P ${MD3V_RELEASE_SOURCE}/install_check.cmake)
  set_tests_properties(release_install PROPERTIES FIXTURES_SETUP tga_installed FAIL_REGULAR_EXPRESSION "FAIL:")

  add_test(NAME release_consumer
           COMMAND sh ${MD3V_RELEASE_SOURCE}/consumer.sh ${MD3V_RELEASE_DIR}/install
                   ${MD3V_RELEASE_DIR}/consumer ${MD3V_WINEPREFIX})
  # The Wine run ends with wineserver -k on the shared prefix.
  set_tests_properties(release_consumer PROPERTIES FIXTURES_REQUIRED tga_installed
                       RESOURCE_LOCK md3v_wine TIMEOUT 600 FAIL_REGULAR_EXPRESSION "FAIL:")

  add_test(NAME release_pack
           COMMAND ${CMAKE_CPACK_COMMAND} -G ZIP --config ${MD3V_WIN_BUILD_DIR}/CPackConfig.cmake
                   -B ${MD3V_RELEASE_DIR}/pack)
  set_tests_properties(release_pack PROPERTIES FIXTURES_SETUP release_zip)

  add_test(NAME release_zip
           COMMAND sh ${MD3V_RELEASE_SOURCE}/zip.sh
                   ${MD3V_RELEASE_DIR}/pack/md3viewer-${PROJECT_VERSION}-win64.zip)
  # Its own Wine prefix, but like the end-to-end runs one at a time.
  set_tests_properties(release_zip PROPERTIES FIXTURES_REQUIRED release_zip
                       ENVIRONMENT "${MD3V_E2E_ENV}" RUN_SERIAL TRUE TIMEOUT 600
                       FAIL_REGULAR_EXPRESSION "FAIL:")
else()
  message(STATUS "MD3V_WIN_BUILD_DIR not set: release tests skipped")
endif()
