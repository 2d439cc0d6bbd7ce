# The Windows zip, md3viewer-<version>-win64.zip (win32.zip from the 32-bit
# tree): viewer.exe, tga.dll, font.dll, md3info.exe, tgainfo.exe,
# tgaconv.exe, the sample data, README.txt, LICENSE.txt and THIRD-PARTY.txt
# side by side in one folder, as the viewer reads its files from the folder
# it runs in; beside them the kit for building against
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
# The licence and the notices of what others wrote, with Windows line ends.
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/LICENSE.txt @ONLY NEWLINE_STYLE WIN32)
configure_file(${PROJECT_SOURCE_DIR}/docs/THIRD-PARTY.txt ${CMAKE_BINARY_DIR}/THIRD-PARTY.txt @ONLY NEWLINE_STYLE WIN32)
install(TARGETS viewer tga font md3info tgainfo tgaconv RUNTIME DESTINATION . COMPONENT release EXCLUDE_FROM_ALL)
install(FILES ${MD3V_SAMPLE_PATHS} ${CMAKE_BINARY_DIR}/README.txt ${CMAKE_BINARY_DIR}/LICENSE.txt
              ${CMAKE_BINARY_DIR}/THIRD-PARTY.txt
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
# The same commit packs the same bytes: the strip step keeps the programs'
# stamp when SOURCE_DATE_EPOCH is set (cpack_project.cmake sets the tree's
# own), and afterwards the zip is written again with times from it, in name
# order, with fixed attributes and no extra fields (CPack's zip has the
# local time and the packer's user).
# Debian's own Python first, whose zlib BUILDINFO.txt names.
find_program(MD3V_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(MD3V_PYTHON NAMES python3 python)
set(CPACK_MD3V_SOURCE_DATE_EPOCH "${MD3V_SOURCE_DATE_EPOCH}")
set(CPACK_MD3V_PYTHON "${MD3V_PYTHON}")
set(CPACK_MD3V_NORMALISE_ZIP ${PROJECT_SOURCE_DIR}/cmake/normalise_zip.py)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/cpack_project.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/normalise_zip.cmake)
include(CPack)
