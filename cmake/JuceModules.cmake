# JUCE's modules as one static library of ours (no juceaide, no JUCE CMake API).
find_package (PkgConfig REQUIRED)
pkg_check_modules (KW_SYSLIBS REQUIRED IMPORTED_TARGET freetype2 fontconfig zlib libpng libjpeg)
find_package (Threads REQUIRED)

set (_jm "${JUCE_MODULES_DIR}")
add_library (juce_modules STATIC
    ${_jm}/juce_core/juce_core.cpp
    ${_jm}/juce_core/juce_core_CompilationTime.cpp
    ${_jm}/juce_events/juce_events.cpp
    ${_jm}/juce_data_structures/juce_data_structures.cpp
    ${_jm}/juce_graphics/juce_graphics.cpp
    ${_jm}/juce_graphics/juce_graphics_Harfbuzz.cpp
    ${_jm}/juce_graphics/juce_graphics_Sheenbidi.c
    ${_jm}/juce_gui_basics/juce_gui_basics.cpp)
target_include_directories (juce_modules SYSTEM PUBLIC "${_jm}")
target_compile_definitions (juce_modules PUBLIC
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
target_link_libraries (juce_modules PUBLIC PkgConfig::KW_SYSLIBS Threads::Threads ${CMAKE_DL_LIBS} rt)
# Third-party code: its own warnings are not ours to fix.
target_compile_options (juce_modules PRIVATE -w)
