# Cross-building the Windows edition on Debian 12 with mingw-w64 (GCC 12, posix threads).
# The C headers and import libraries are Debian 13's mingw-w64 12 (unpacked by
# tools/setup_windows.sh into deps/): Debian 12's v10 headers lack what JUCE 8's GUI needs
# (d2d1_3.h among others). GCC's own headers stay first, in GCC's own order.
set (CMAKE_SYSTEM_NAME Windows)
set (CMAKE_SYSTEM_PROCESSOR x86_64)

set (KW_MINGW_TRIPLE x86_64-w64-mingw32)
set (CMAKE_C_COMPILER ${KW_MINGW_TRIPLE}-gcc-posix)
set (CMAKE_CXX_COMPILER ${KW_MINGW_TRIPLE}-g++-posix)
set (CMAKE_RC_COMPILER ${KW_MINGW_TRIPLE}-windres)

get_filename_component (KW_DEPS_DIR "${CMAKE_CURRENT_LIST_DIR}/../deps" ABSOLUTE)
set (KW_MINGW_SDK "${KW_DEPS_DIR}/mingw-w64-12/usr/${KW_MINGW_TRIPLE}")
set (KW_MINGW_LIBS "${KW_DEPS_DIR}/mingw-libs")
set (_gcc "/usr/lib/gcc/${KW_MINGW_TRIPLE}/12-posix")

set (_inc "-nostdinc")
foreach (dir "${_gcc}/include/c++" "${_gcc}/include/c++/${KW_MINGW_TRIPLE}" "${_gcc}/include/c++/backward"
             "${_gcc}/include" "${_gcc}/include-fixed" "${KW_MINGW_SDK}/include")
    string (APPEND _inc " -isystem ${dir}")
endforeach()

# Windows 10, 22H2's SDK level: what JUCE 8 compiles against.
set (CMAKE_C_FLAGS_INIT "${_inc} -DNTDDI_VERSION=0x0A00000C")
set (CMAKE_CXX_FLAGS_INIT "${_inc} -DNTDDI_VERSION=0x0A00000C")
set (CMAKE_RC_FLAGS_INIT "-I${KW_MINGW_SDK}/include")
# Start files and libraries of the same release as the headers; everything static, so the
# executable needs no mingw DLL beside it.
set (CMAKE_EXE_LINKER_FLAGS_INIT "-B${KW_MINGW_SDK}/lib/ -L${KW_MINGW_SDK}/lib -static")
# What ships carries no symbols.
set (CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

set (CMAKE_FIND_ROOT_PATH "${KW_MINGW_LIBS}" "${KW_MINGW_SDK}" "/usr/${KW_MINGW_TRIPLE}")
set (CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set (CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set (CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set (CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set (CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../tools/wine_run")
