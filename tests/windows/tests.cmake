# Checks of the Windows build (host side): what tga.dll exports and carries,
# and the cross-built check programs run under Wine, from the GCC tree in
# ${MD3V_WIN_BUILD_DIR} and from its Clang build in
# ${MD3V_WIN_CLANG_BUILD_DIR}, and from the 32-bit GCC tree in
# ${MD3V_WIN32_BUILD_DIR}. A check whose tree is not given is skipped.
function(md3v_skipped name variable)
  add_test(NAME ${name} COMMAND sh -c "echo '${name}: skipped, ${variable} is not set'; exit 77")
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
endfunction()

if(MD3V_WIN_BUILD_DIR)
  add_test(NAME tga_dll_exports
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/windows/tga_dll_exports.sh ${MD3V_WIN_BUILD_DIR}/bin/tga.dll)
else()
  md3v_skipped(tga_dll_exports MD3V_WIN_BUILD_DIR)
endif()

# A prefix left without its 32-bit system is made again before a 64-bit
# program runs in it.
if(MD3V_WIN_BUILD_DIR)
  add_test(NAME wine_stale_prefix
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/windows/stale_prefix.sh ${MD3V_WIN_BUILD_DIR}/bin
                   ${MD3V_WIN_BUILD_DIR}/bin/bits_check.exe)
  set_tests_properties(wine_stale_prefix PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600 FAIL_REGULAR_EXPRESSION "FAIL:"
                       LABELS wine32)
else()
  md3v_skipped(wine_stale_prefix MD3V_WIN_BUILD_DIR)
endif()

# Where 32-bit programs cannot run, 64-bit ones run through the 64-bit loader
# and 32-bit ones are skipped with the reason.
if(MD3V_WIN_BUILD_DIR)
  add_test(NAME wine_without_32bit
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/windows/without_32bit.sh ${MD3V_WIN_BUILD_DIR}/bin
                   ${MD3V_WIN_BUILD_DIR}/bin/bits_check.exe)
  set_tests_properties(wine_without_32bit PROPERTIES TIMEOUT 600 FAIL_REGULAR_EXPRESSION "FAIL:")
else()
  md3v_skipped(wine_without_32bit MD3V_WIN_BUILD_DIR)
endif()

foreach(compiler gcc clang gcc32)
  set(tree MD3V_WIN_BUILD_DIR)
  set(suffix "")
  set(prefix ${MD3V_WINEPREFIX})
  set(environment "")
  set(lock md3v_wine)
  set(labels "")
  if(compiler STREQUAL "clang")
    set(tree MD3V_WIN_CLANG_BUILD_DIR)
    set(suffix _clang)
  elseif(compiler STREQUAL "gcc32")
    set(tree MD3V_WIN32_BUILD_DIR)
    set(suffix _win32)
    set(prefix ${MD3V_WINEPREFIX32})
    set(environment WINEARCH=win32)
    set(lock md3v_wine32)
    set(labels wine32)
  endif()
  if(NOT ${tree})
    message(STATUS "${tree} is not set: its Wine checks are skipped")
  endif()
  foreach(check tga_dll heightmap_paths bits)
    set(name ${check}_wine${suffix})
    if(${tree})
      add_test(NAME ${name}
               COMMAND sh ${MD3V_WINE_RUN} ${prefix} ${${tree}}/bin ${${tree}}/bin/${check}_check.exe)
      # Runs end with wineserver -k on the shared prefix: one Wine test at a time.
      # 77: programs of this width cannot run on this machine.
      set_tests_properties(${name} PROPERTIES TIMEOUT 600 RESOURCE_LOCK ${lock} ENVIRONMENT "${environment}"
                           SKIP_RETURN_CODE 77 LABELS "${labels}")
    else()
      md3v_skipped(${name} ${tree})
    endif()
  endforeach()
endforeach()
