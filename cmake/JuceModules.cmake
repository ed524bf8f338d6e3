# JUCE's modules as two static libraries of ours (no juceaide, no JUCE CMake API):
#   juce_base  core and events: all that the install engine and the settings file may use;
#   juce_gui   data structures, graphics and GUI basics, on top of it.
# Each sees only its own modules' headers, so a GUI include below the view is a build error.
find_package (Threads REQUIRED)
if (WIN32)
    # mingw ignores JUCE's #pragma comment (lib, ...): the system libraries are named here.
    # The static archives by name: the executable must need no DLL that Windows lacks (zlib1.dll).
    find_library (KW_PNG_LIB NAMES libpng16.a REQUIRED)
    find_library (KW_JPEG_LIB NAMES libjpeg.a REQUIRED)
    find_library (KW_Z_LIB NAMES libz.a REQUIRED)
    find_path (KW_PNG_INCLUDE png.h REQUIRED)
    add_library (kw_syslibs INTERFACE)
    target_include_directories (kw_syslibs INTERFACE "${KW_PNG_INCLUDE}")
    target_link_libraries (kw_syslibs INTERFACE ${KW_PNG_LIB} ${KW_JPEG_LIB} ${KW_Z_LIB}
        kernel32 user32 gdi32 shell32 ole32 oleaut32 uuid advapi32 version shlwapi dbghelp
        winmm wininet ws2_32 rpcrt4 comdlg32 comctl32 imm32 dwmapi vfw32 sapi
        d2d1 d3d11 dcomp dxgi dwrite dxguid opengl32 glu32 setupapi rstrtmgr)
    set (KW_JUCE_OS_DEFINES UNICODE _UNICODE)
else()
    find_package (PkgConfig REQUIRED)
    pkg_check_modules (KW_SYSLIBS REQUIRED IMPORTED_TARGET freetype2 fontconfig zlib libpng libjpeg)
    add_library (kw_syslibs INTERFACE)
    target_link_libraries (kw_syslibs INTERFACE PkgConfig::KW_SYSLIBS ${CMAKE_DL_LIBS} rt)
    set (KW_JUCE_OS_DEFINES LINUX=1)
endif()

set (_jm "${JUCE_MODULES_DIR}")

# A folder of links to some of the modules, for a library's include path.
function (kw_module_root name)
    set (root "${CMAKE_BINARY_DIR}/juce_include/${name}")
    file (MAKE_DIRECTORY "${root}")
    foreach (module ${ARGN})
        if (NOT EXISTS "${root}/${module}")
            file (CREATE_LINK "${_jm}/${module}" "${root}/${module}" SYMBOLIC)
        endif()
    endforeach()
endfunction()

kw_module_root (base juce_core juce_events)
kw_module_root (gui juce_data_structures juce_graphics juce_gui_basics)

add_library (juce_base STATIC
    ${_jm}/juce_core/juce_core.cpp
    ${_jm}/juce_core/juce_core_CompilationTime.cpp
    ${_jm}/juce_events/juce_events.cpp)
target_include_directories (juce_base SYSTEM PUBLIC "${CMAKE_BINARY_DIR}/juce_include/base")
target_compile_definitions (juce_base PUBLIC
    JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
    JUCE_STANDALONE_APPLICATION=1
    JUCE_USE_CURL=0
    JUCE_WEB_BROWSER=0
    JUCE_MODULE_AVAILABLE_juce_core=1
    JUCE_MODULE_AVAILABLE_juce_events=1
    JUCE_MODULE_AVAILABLE_juce_data_structures=1
    JUCE_MODULE_AVAILABLE_juce_graphics=1
    JUCE_MODULE_AVAILABLE_juce_gui_basics=1
    ${KW_JUCE_OS_DEFINES}
    "$<$<CONFIG:Debug>:DEBUG=1;_DEBUG=1;JUCE_LOG_ASSERTIONS=1>"
    "$<$<NOT:$<CONFIG:Debug>>:NDEBUG=1>")
target_link_libraries (juce_base PUBLIC kw_syslibs Threads::Threads)

add_library (juce_gui STATIC
    ${_jm}/juce_data_structures/juce_data_structures.cpp
    ${_jm}/juce_graphics/juce_graphics.cpp
    ${_jm}/juce_graphics/juce_graphics_Harfbuzz.cpp
    ${_jm}/juce_graphics/juce_graphics_Sheenbidi.c
    ${_jm}/juce_gui_basics/juce_gui_basics.cpp)
target_include_directories (juce_gui SYSTEM PUBLIC "${CMAKE_BINARY_DIR}/juce_include/gui")
target_link_libraries (juce_gui PUBLIC juce_base)

# Third-party code: its own warnings are not ours to fix.
target_compile_options (juce_base PRIVATE -w)
target_compile_options (juce_gui PRIVATE -w)
