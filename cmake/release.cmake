# The Windows zip, md3viewer-<version>-win64.zip (win32.zip from the 32-bit
# tree): viewer.exe, tga.dll, font.dll, md3info.exe, tgainfo.exe, tgaconv.exe, the sample
# data and README.txt side by side in one folder, as the viewer reads its
# files from the folder it runs in; beside them the kit for building against
# tga.dll, include/tga.h and lib/ with the import libraries for MSVC
# (tga.lib) and MinGW (libtga.dll.a) and tga.def. They reach the zip as the
# install component "release", which a plain `cmake --install` (bin/,
# include/, lib/) leaves out.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(MD3V_ZIP_ARCH win64)
  set(MD3V_WINDOWS_BITS 64)
  set(MD3V_MSVC_TOOLS x64)
  set(MD3V_DLLTOOL_MACHINE i386:x86-64)
  set(MD3V_README_NEEDS "It needs OpenGL 1.1, which Windows always has, and nothing else\ninstalled.")
else()
  set(MD3V_ZIP_ARCH win32)
  set(MD3V_WINDOWS_BITS 32)
  set(MD3V_MSVC_TOOLS x86)
  set(MD3V_DLLTOOL_MACHINE i386)
  # Its floating point is SSE2, which every Windows since 8 requires.
  set(MD3V_README_NEEDS "It needs a processor with SSE2 (every one that runs Windows 8 or later\nhas it) and OpenGL 1.1, which Windows always has, and nothing else\ninstalled.")
endif()
configure_file(${PROJECT_SOURCE_DIR}/docs/README.txt.in ${CMAKE_BINARY_DIR}/README.txt
               @ONLY NEWLINE_STYLE WIN32)
install(TARGETS viewer tga font md3info tgainfo RUNTIME DESTINATION . COMPONENT release EXCLUDE_FROM_ALL)
install(TARGETS tgaconv RUNTIME DESTINATION . COMPONENT release EXCLUDE_FROM_ALL)
install(FILES ${MD3V_SAMPLE_PATHS} ${CMAKE_BINARY_DIR}/README.txt
        DESTINATION . COMPONENT release EXCLUDE_FROM_ALL)

install(FILES ${PROJECT_SOURCE_DIR}/tga/tga.h DESTINATION include COMPONENT release EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/tga/tga.def DESTINATION lib COMPONENT release EXCLUDE_FROM_ALL)
install(TARGETS tga ARCHIVE DESTINATION lib COMPONENT release EXCLUDE_FROM_ALL)
if(MSVC)
  # The linker's own tga.lib is in the format MinGW's linker reads too.
  install(FILES $<TARGET_LINKER_FILE:tga> DESTINATION lib RENAME libtga.dll.a COMPONENT release EXCLUDE_FROM_ALL)
else()
  # MinGW's import library is libtga.dll.a; MSVC's linker wants its own
  # short import format, which llvm-dlltool writes from tga.def.
  find_program(MD3V_DLLTOOL NAMES llvm-dlltool llvm-dlltool-16 llvm-dlltool-15 llvm-dlltool-14)
  if(MD3V_DLLTOOL)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/tga.lib
                       COMMAND ${MD3V_DLLTOOL} -m ${MD3V_DLLTOOL_MACHINE} -d ${PROJECT_SOURCE_DIR}/tga/tga.def
                               -D tga.dll -l ${CMAKE_BINARY_DIR}/tga.lib
                       DEPENDS ${PROJECT_SOURCE_DIR}/tga/tga.def VERBATIM)
    add_custom_target(tga_msvc_import_library ALL DEPENDS ${CMAKE_BINARY_DIR}/tga.lib)
    install(FILES ${CMAKE_BINARY_DIR}/tga.lib DESTINATION lib COMPONENT release EXCLUDE_FROM_ALL)
  else()
    message(STATUS "llvm-dlltool not found: the zip has no tga.lib for MSVC")
  endif()
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME md3viewer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME ${MD3V_ZIP_ARCH})
set(CPACK_PACKAGE_FILE_NAME md3viewer-${PROJECT_VERSION}-${MD3V_ZIP_ARCH})
# Only the release component, installed at the top of the zip's folder.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};md3viewer;release;/")
# Symbols are of no use to someone who runs the programs.
set(CPACK_STRIP_FILES ON)
include(CPack)
