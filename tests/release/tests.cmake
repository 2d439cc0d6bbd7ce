# The release as others meet it, from the Windows build in
# MD3V_WIN_BUILD_DIR: the installed layout and its tga package, a separate
# CMake project built against that package; and from it and the 32-bit
# build in MD3V_WIN32_BUILD_DIR, the zips unpacked and run.
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

  # Each zip, 64-bit and 32-bit: packed, then unpacked and run in a fresh
  # prefix of its width, and built against by a program for the MSVC ABI that
  # runs in the shared prefix of that width. Those labelled wine32 skip (77)
  # their Wine runs on a machine that cannot run 32-bit programs.
  foreach(width win64 win32)
    if(width STREQUAL "win64")
      set(tree ${MD3V_WIN_BUILD_DIR})
      set(suffix "")
      set(prefix ${MD3V_WINEPREFIX})
      set(lock md3v_wine)
      set(labels "")
    else()
      set(tree ${MD3V_WIN32_BUILD_DIR})
      set(suffix _win32)
      set(prefix ${MD3V_WINEPREFIX32})
      set(lock md3v_wine32)
      set(labels wine32)
    endif()
    if(NOT tree)
      message(STATUS "no ${width} build tree: its zip is not tested")
      continue()
    endif()
    set(pack ${CMAKE_BINARY_DIR}/release/pack${suffix})
    set(zip ${pack}/md3viewer-${PROJECT_VERSION}-${width}.zip)
    add_test(NAME release_pack${suffix}
             COMMAND ${CMAKE_CPACK_COMMAND} -G ZIP --config ${tree}/CPackConfig.cmake -B ${pack})
    set_tests_properties(release_pack${suffix} PROPERTIES FIXTURES_SETUP release_zip${suffix})

    add_test(NAME release_zip${suffix} COMMAND sh ${MD3V_RELEASE_SOURCE}/zip.sh ${zip} ${tree} $<TARGET_FILE:tgaconv>)
    # Its own Wine prefix, but like the end-to-end runs one at a time.
    set_tests_properties(release_zip${suffix} PROPERTIES FIXTURES_REQUIRED release_zip${suffix}
                         ENVIRONMENT "${MD3V_E2E_ENV}" RUN_SERIAL TRUE TIMEOUT 600
                         FAIL_REGULAR_EXPRESSION "FAIL:" SKIP_RETURN_CODE 77 LABELS "${labels}")

    add_test(NAME release_msvc_consumer${suffix} COMMAND sh ${MD3V_RELEASE_SOURCE}/msvc_consumer.sh ${zip} ${prefix})
    set_tests_properties(release_msvc_consumer${suffix} PROPERTIES FIXTURES_REQUIRED release_zip${suffix}
                         RESOURCE_LOCK ${lock} TIMEOUT 600 FAIL_REGULAR_EXPRESSION "FAIL:"
                         SKIP_RETURN_CODE 77 LABELS "${labels}")
  endforeach()
  # Both zips built again elsewhere, by someone else, give the same bytes.
  if(MD3V_WIN32_BUILD_DIR)
    set(zip64 ${CMAKE_BINARY_DIR}/release/pack/md3viewer-${PROJECT_VERSION}-win64.zip)
    set(zip32 ${CMAKE_BINARY_DIR}/release/pack_win32/md3viewer-${PROJECT_VERSION}-win32.zip)
    add_test(NAME release_rebuild
             COMMAND sh ${MD3V_RELEASE_SOURCE}/rebuild.sh $<TARGET_FILE:make_samples>
                     ${MD3V_WIN_BUILD_DIR} ${zip64} ${MD3V_WIN32_BUILD_DIR} ${zip32})
    set_tests_properties(release_rebuild PROPERTIES FIXTURES_REQUIRED "release_zip;release_zip_win32"
                         PROCESSORS 2 TIMEOUT 900 FAIL_REGULAR_EXPRESSION "FAIL:")
  endif()
else()
  message(STATUS "MD3V_WIN_BUILD_DIR not set: release tests skipped")
endif()
