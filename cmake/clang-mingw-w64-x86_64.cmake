# Cross-compiling the Windows programs (viewer.exe, tga.dll, font.dll) with
# Clang on the MinGW-w64 runtime that the GCC cross compiler installs: its
# headers, import libraries and crt objects in /usr/x86_64-w64-mingw32, and
# libgcc and libstdc++ of the win32 thread model (the model of
# mingw-w64-x86_64.cmake's x86_64-w64-mingw32-g++). Clang compiles, the
# MinGW-w64 binutils link (x86_64-w64-mingw32-ld) and archive, and
# llvm-windres compiles the resources with Clang as its preprocessor.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${TOOLCHAIN_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${TOOLCHAIN_PREFIX})
set(CMAKE_SYSROOT /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# libgcc, libstdc++ and crtbegin.o/crtend.o live in GCC's own folder, which
# Clang does not find by itself: Debian names it after the thread model
# (.../12-win32), not after a plain version. The win32 compiler says where
# it is.
find_program(MD3V_MINGW_GCC ${TOOLCHAIN_PREFIX}-gcc-win32)
if(NOT MD3V_MINGW_GCC)
  message(FATAL_ERROR "${TOOLCHAIN_PREFIX}-gcc-win32 not found: install g++-mingw-w64-x86-64-win32")
endif()
execute_process(COMMAND ${MD3V_MINGW_GCC} -print-libgcc-file-name
                OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(MD3V_MINGW_GCC_DIR ${libgcc} DIRECTORY)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES
    ${MD3V_MINGW_GCC_DIR}/include/c++
    ${MD3V_MINGW_GCC_DIR}/include/c++/${TOOLCHAIN_PREFIX}
    ${MD3V_MINGW_GCC_DIR}/include/c++/backward)

find_program(MD3V_MINGW_LD ${TOOLCHAIN_PREFIX}-ld)
if(NOT MD3V_MINGW_LD)
  message(FATAL_ERROR "${TOOLCHAIN_PREFIX}-ld not found: install binutils-mingw-w64-x86-64")
endif()
# -B for the crt objects, -L for the libraries.
set(CMAKE_LINKER ${MD3V_MINGW_LD})
set(link_flags "-B${MD3V_MINGW_GCC_DIR} -L${MD3V_MINGW_GCC_DIR} --ld-path=${MD3V_MINGW_LD}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${link_flags}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${link_flags}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${link_flags}")

set(CMAKE_AR ${TOOLCHAIN_PREFIX}-ar)
set(CMAKE_RANLIB ${TOOLCHAIN_PREFIX}-ranlib)
set(CMAKE_STRIP ${TOOLCHAIN_PREFIX}-strip)
set(CMAKE_OBJDUMP ${TOOLCHAIN_PREFIX}-objdump)
# Debian keeps the unversioned llvm-windres beside clang, in LLVM's own bin/.
find_program(MD3V_CLANG clang)
get_filename_component(clang_dir ${MD3V_CLANG} REALPATH)
get_filename_component(clang_dir ${clang_dir} DIRECTORY)
find_program(CMAKE_RC_COMPILER llvm-windres HINTS ${clang_dir})
if(NOT CMAKE_RC_COMPILER)
  message(FATAL_ERROR "llvm-windres not found next to ${MD3V_CLANG}: install llvm")
endif()
