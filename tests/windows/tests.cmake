# Checks of the Windows build (host side): what tga.dll exports and carries,
# and the cross-built check programs run under Wine. They need the Windows
# outputs in ${MD3V_WIN_BUILD_DIR}/bin; the check programs of the Clang build
# of that tree run from ${MD3V_WIN_CLANG_BUILD_DIR}/bin as well.
if(MD3V_WIN_BUILD_DIR)
  set(MD3V_WIN_BIN ${MD3V_WIN_BUILD_DIR}/bin)
  add_test(NAME tga_dll_exports
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/windows/tga_dll_exports.sh ${MD3V_WIN_BIN}/tga.dll)
  add_test(NAME tga_dll_wine
           COMMAND sh ${MD3V_WINE_RUN} ${MD3V_WINEPREFIX} ${MD3V_WIN_BIN} ${MD3V_WIN_BIN}/tga_dll_check.exe)
  add_test(NAME heightmap_paths_wine
           COMMAND sh ${MD3V_WINE_RUN} ${MD3V_WINEPREFIX} ${MD3V_WIN_BIN} ${MD3V_WIN_BIN}/heightmap_paths_check.exe)
  # Runs end with wineserver -k on the shared prefix: one Wine test at a time.
  set_tests_properties(tga_dll_wine heightmap_paths_wine PROPERTIES TIMEOUT 600 RESOURCE_LOCK md3v_wine)
else()
  message(STATUS "MD3V_WIN_BUILD_DIR is not set: the tga.dll checks are skipped")
  foreach(check tga_dll_exports tga_dll_wine heightmap_paths_wine)
    add_test(NAME ${check}
             COMMAND sh -c "echo '${check}: skipped, MD3V_WIN_BUILD_DIR is not set'; exit 77")
    set_tests_properties(${check} PROPERTIES SKIP_RETURN_CODE 77)
  endforeach()
endif()

if(MD3V_WIN_CLANG_BUILD_DIR)
  set(MD3V_WIN_CLANG_BIN ${MD3V_WIN_CLANG_BUILD_DIR}/bin)
  add_test(NAME tga_dll_wine_clang
           COMMAND sh ${MD3V_WINE_RUN} ${MD3V_WINEPREFIX} ${MD3V_WIN_CLANG_BIN} ${MD3V_WIN_CLANG_BIN}/tga_dll_check.exe)
  add_test(NAME heightmap_paths_wine_clang
           COMMAND sh ${MD3V_WINE_RUN} ${MD3V_WINEPREFIX} ${MD3V_WIN_CLANG_BIN}
                   ${MD3V_WIN_CLANG_BIN}/heightmap_paths_check.exe)
  set_tests_properties(tga_dll_wine_clang heightmap_paths_wine_clang PROPERTIES
                       TIMEOUT 600 RESOURCE_LOCK md3v_wine)
else()
  message(STATUS "MD3V_WIN_CLANG_BUILD_DIR is not set: the Clang build's checks are skipped")
  foreach(check tga_dll_wine_clang heightmap_paths_wine_clang)
    add_test(NAME ${check}
             COMMAND sh -c "echo '${check}: skipped, MD3V_WIN_CLANG_BUILD_DIR is not set'; exit 77")
    set_tests_properties(${check} PROPERTIES SKIP_RETURN_CODE 77)
  endforeach()
endif()
