# JUCE's modules as two static libraries of ours (no juceaide, no JUCE CMake API):
#   juce_base  core and events: all that the install engine and the settings file may use;
#   juce_gui   data structures, graphics and GUI basics, on top of it.
# Each sees only its own modules' headers, so a GUI include below the view is a build error.
find_package (PkgConfig REQUIRED)
pkg_check_modules (KW_SYSLIBS REQUIRED IMPORTED_TARGET freetype2 fontconfig zlib libpng libjpeg)
find_package (Threads REQUIRED)

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
    LINUX=1
    $<IF:$<CONFIG:Debug>,DEBUG=1 _DEBUG=1,NDEBUG=1>)
target_link_libraries (juce_base PUBLIC PkgConfig::KW_SYSLIBS Threads::Threads ${CMAKE_DL_LIBS} rt)

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
