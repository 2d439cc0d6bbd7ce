# The Windows zip, md3viewer-<version>-win64.zip: viewer.exe, tga.dll,
# font.dll, md3info.exe, tgainfo.exe, the sample data and README.txt side by
# side in one folder, as the viewer reads its files from the folder it runs
# in. They reach the zip as the install component "release", which a plain
# `cmake --install` (bin/, include/, lib/) leaves out.
configure_file(${PROJECT_SOURCE_DIR}/docs/README-win64.txt.in ${CMAKE_BINARY_DIR}/README.txt
               @ONLY NEWLINE_STYLE WIN32)
install(TARGETS viewer tga font md3info tgainfo RUNTIME DESTINATION . COMPONENT release EXCLUDE_FROM_ALL)
install(FILES ${MD3V_SAMPLE_PATHS} ${CMAKE_BINARY_DIR}/README.txt
        DESTINATION . COMPONENT release EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME md3viewer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME win64)
set(CPACK_PACKAGE_FILE_NAME md3viewer-${PROJECT_VERSION}-win64)
# Only the release component, installed at the top of the zip's folder.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};md3viewer;release;/")
# Symbols are of no use to someone who runs the programs.
set(CPACK_STRIP_FILES ON)
include(CPack)
