# The embedded resources: our own generator turns them into a BinaryData namespace. The
# product's own files (its bundles, release notes, licence and its maker's logo) come from the
# product kit, which checks the product folder first; the rest is the installer's, in resources/.
# The list's order is the order of the name table.
set (KW_PRODUCT "${CMAKE_SOURCE_DIR}/products/quernfield-reverb3" CACHE PATH "The product folder to build the installer for")
get_filename_component (KW_PRODUCT "${KW_PRODUCT}" ABSOLUTE BASE_DIR "${CMAKE_SOURCE_DIR}")
set (KW_RESOURCES_DIR "${CMAKE_SOURCE_DIR}/resources" CACHE PATH "Folder of the installer's own files to embed")
set (KW_KIT_DIR "${CMAKE_BINARY_DIR}/kit")

if (NOT EXISTS "${KW_PRODUCT}/product.json")
    message (FATAL_ERROR "KW_PRODUCT: no product.json in ${KW_PRODUCT}")
endif()

# Everything in the product's and its maker's folders: a change there runs the kit again.
file (READ "${KW_PRODUCT}/product.json" _product_json)
string (JSON _maker_path ERROR_VARIABLE _json_error GET "${_product_json}" maker)
set (_kit_inputs "")
file (GLOB_RECURSE _kit_inputs CONFIGURE_DEPENDS LIST_DIRECTORIES false "${KW_PRODUCT}/*")
if (NOT _json_error AND _maker_path)
    get_filename_component (_maker_dir "${_maker_path}" ABSOLUTE BASE_DIR "${KW_PRODUCT}")
    file (GLOB_RECURSE _maker_inputs CONFIGURE_DEPENDS LIST_DIRECTORIES false "${_maker_dir}/*")
    list (APPEND _kit_inputs ${_maker_inputs})
endif()

set (_kit_sources
    "${CMAKE_SOURCE_DIR}/tools/kit/kit_main.cpp"
    "${CMAKE_SOURCE_DIR}/tools/kit/ProductKit.cpp"
    "${CMAKE_SOURCE_DIR}/tools/kit/Digests.cpp"
    "${CMAKE_SOURCE_DIR}/source/install/PayloadArchive.cpp"
    "${CMAKE_SOURCE_DIR}/source/platform/PeVersionReader.cpp"
    "${CMAKE_SOURCE_DIR}/source/platform/FileChecks_linux.cpp")

if (CMAKE_CROSSCOMPILING)
    # Built for the build machine, with its own compiler and the Linux edition's JUCE core.
    set (KW_HOST_CXX "c++" CACHE STRING "The build machine's C++ compiler")
    set (_host_juce "${CMAKE_SOURCE_DIR}/deps/juce/usr/share/juce/modules")
    set (_kit "${CMAKE_BINARY_DIR}/host/kw_kit")
    add_custom_command (
        OUTPUT "${_kit}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/host"
        COMMAND ${KW_HOST_CXX} -std=c++17 -O1 -w -DNDEBUG=1 -DLINUX=1 -DJUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
                -DJUCE_STANDALONE_APPLICATION=1 -DJUCE_USE_CURL=0 -DJUCE_MODULE_AVAILABLE_juce_core=1
                -I "${_host_juce}" -I "${CMAKE_SOURCE_DIR}/source" -I "${CMAKE_SOURCE_DIR}/source/platform"
                -o "${_kit}" ${_kit_sources}
                "${_host_juce}/juce_core/juce_core.cpp" "${_host_juce}/juce_core/juce_core_CompilationTime.cpp"
                -lz -lpthread -ldl -lrt
        DEPENDS ${_kit_sources} "${CMAKE_SOURCE_DIR}/tools/kit/ProductKit.h" "${CMAKE_SOURCE_DIR}/tools/kit/Digests.h"
        COMMENT "Building the product kit for the build machine"
        VERBATIM)
else()
    add_executable (kw_kit ${_kit_sources})
    target_include_directories (kw_kit PRIVATE "${CMAKE_SOURCE_DIR}/source" "${CMAKE_SOURCE_DIR}/source/platform")
    target_link_libraries (kw_kit PRIVATE juce_base PkgConfig::KW_SYSLIBS)
    target_compile_options (kw_kit PRIVATE -Wall -Wextra)
    set (_kit kw_kit)
endif()

set (KW_KIT_OUTPUTS
    "${KW_KIT_DIR}/vst3.zip" "${KW_KIT_DIR}/clap.zip" "${KW_KIT_DIR}/aax.zip"
    "${KW_KIT_DIR}/CHANGELOG.md" "${KW_KIT_DIR}/licence_agreement.txt" "${KW_KIT_DIR}/maker_logo.svg"
    "${KW_KIT_DIR}/ProductData.inc" "${KW_KIT_DIR}/ProductRc.h")
add_custom_command (
    OUTPUT ${KW_KIT_OUTPUTS}
    COMMAND ${_kit} "${KW_PRODUCT}" "${KW_KIT_DIR}"
    DEPENDS ${_kit} ${_kit_inputs}
    COMMENT "Checking the product ${KW_PRODUCT}"
    VERBATIM)
add_custom_target (kw_product_kit DEPENDS ${KW_KIT_OUTPUTS})

set (KW_RESOURCE_PATHS
    "${KW_KIT_DIR}/aax.zip" "${KW_KIT_DIR}/clap.zip" "${KW_KIT_DIR}/vst3.zip")
foreach (_f SF-Pro-Rounded-Regular.otf SF-Pro-Rounded-Semibold.otf fh_tobrin.png
            icon_aax.svg icon_auv2.svg icon_auv3.svg icon_clap.svg icon_discord.svg icon_eula.svg
            icon_help.svg icon_install.svg icon_lv2.svg icon_mail.svg icon_manual.svg icon_success.svg
            icon_vst3.svg icon_warning.svg icon_web.svg icon_changelog.svg)
    list (APPEND KW_RESOURCE_PATHS "${KW_RESOURCES_DIR}/${_f}")
endforeach()
list (APPEND KW_RESOURCE_PATHS "${KW_KIT_DIR}/maker_logo.svg" "${KW_KIT_DIR}/CHANGELOG.md")

if (CMAKE_CROSSCOMPILING)
    # The embedder runs on the build machine: compiled there with its own compiler.
    set (KW_HOST_CXX "c++" CACHE STRING "The build machine's C++ compiler")
    set (_embed "${CMAKE_BINARY_DIR}/host/kw_embed")
    add_custom_command (
        OUTPUT "${_embed}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/host"
        COMMAND ${KW_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -o "${_embed}" "${CMAKE_SOURCE_DIR}/tools/embed_resources.cpp"
        DEPENDS "${CMAKE_SOURCE_DIR}/tools/embed_resources.cpp"
        VERBATIM)
else()
    add_executable (kw_embed tools/embed_resources.cpp)
    target_compile_options (kw_embed PRIVATE -Wall -Wextra)
    set (_embed kw_embed)
endif()

set (_out "${CMAKE_BINARY_DIR}/generated")
set (_inputs ${KW_RESOURCE_PATHS})

add_custom_command (
    OUTPUT "${_out}/BinaryData.h" "${_out}/BinaryData.cpp"
    COMMAND ${_embed} --incbin-from 1048576 --namespace BinaryData --header "${_out}/BinaryData.h" --source "${_out}/BinaryData.cpp" ${_inputs}
    DEPENDS ${_embed} ${_inputs}
    COMMENT "Embedding the product and the installer's resources"
    VERBATIM)

# The window's icon is ours but not one of the product's resources, so it gets its own namespace.
add_custom_command (
    OUTPUT "${_out}/AppIconData.h" "${_out}/AppIconData.cpp"
    COMMAND ${_embed} --namespace AppIconData --header "${_out}/AppIconData.h" --source "${_out}/AppIconData.cpp"
            "${KW_RESOURCES_DIR}/app/kitwarden_icon.svg"
    DEPENDS ${_embed} "${KW_RESOURCES_DIR}/app/kitwarden_icon.svg"
    VERBATIM)

# The product's licence agreement, as the kit checked it.
add_custom_command (
    OUTPUT "${_out}/LicenceData.h" "${_out}/LicenceData.cpp"
    COMMAND ${_embed} --namespace LicenceData --header "${_out}/LicenceData.h" --source "${_out}/LicenceData.cpp"
            "${KW_KIT_DIR}/licence_agreement.txt"
    DEPENDS ${_embed} "${KW_KIT_DIR}/licence_agreement.txt"
    VERBATIM)

# Payloads are assembled from their files (.incbin): a changed one rebuilds the object even when
# the generated source reads the same.
set_source_files_properties ("${_out}/BinaryData.cpp" PROPERTIES OBJECT_DEPENDS "${KW_RESOURCE_PATHS}")

add_library (kitwarden_resources STATIC
    "${_out}/BinaryData.cpp" "${_out}/AppIconData.cpp" "${_out}/LicenceData.cpp")
target_include_directories (kitwarden_resources PUBLIC "${_out}")
add_dependencies (kitwarden_resources kw_product_kit)
