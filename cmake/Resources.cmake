# The embedded resources: our own generator turns resources/ into a BinaryData namespace.
# The list's order is the order of the name table.
set (KW_RESOURCES_DIR "${CMAKE_SOURCE_DIR}/resources" CACHE PATH "Folder of the files to embed")
set (KW_RESOURCE_FILES
    aax.zip clap.zip vst3.zip
    SF-Pro-Rounded-Regular.otf SF-Pro-Rounded-Semibold.otf
    fh_tobrin.png
    icon_aax.svg icon_auv2.svg icon_auv3.svg icon_clap.svg icon_discord.svg icon_eula.svg
    icon_help.svg icon_install.svg icon_lv2.svg icon_mail.svg icon_manual.svg icon_success.svg
    icon_vst3.svg icon_warning.svg icon_web.svg icon_changelog.svg logo_fernhollow.svg
    CHANGELOG.md)

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
set (_inputs "")
foreach (_f IN LISTS KW_RESOURCE_FILES)
    list (APPEND _inputs "${KW_RESOURCES_DIR}/${_f}")
endforeach()

add_custom_command (
    OUTPUT "${_out}/BinaryData.h" "${_out}/BinaryData.cpp"
    COMMAND ${_embed} --namespace BinaryData --header "${_out}/BinaryData.h" --source "${_out}/BinaryData.cpp" ${_inputs}
    DEPENDS ${_embed} ${_inputs}
    COMMENT "Embedding ${CMAKE_SOURCE_DIR}/resources"
    VERBATIM)

# The window's icon is ours but not one of the product's resources, so it gets its own namespace.
add_custom_command (
    OUTPUT "${_out}/AppIconData.h" "${_out}/AppIconData.cpp"
    COMMAND ${_embed} --namespace AppIconData --header "${_out}/AppIconData.h" --source "${_out}/AppIconData.cpp"
            "${KW_RESOURCES_DIR}/app/kitwarden_icon.svg"
    DEPENDS ${_embed} "${KW_RESOURCES_DIR}/app/kitwarden_icon.svg"
    VERBATIM)

# The licence agreement's text, kept as a plain text file beside the panel that shows it.
add_custom_command (
    OUTPUT "${_out}/LicenceData.h" "${_out}/LicenceData.cpp"
    COMMAND ${_embed} --namespace LicenceData --header "${_out}/LicenceData.h" --source "${_out}/LicenceData.cpp"
            "${CMAKE_SOURCE_DIR}/source/panels/licence_agreement.txt"
    DEPENDS ${_embed} "${CMAKE_SOURCE_DIR}/source/panels/licence_agreement.txt"
    VERBATIM)

add_library (kitwarden_resources STATIC
    "${_out}/BinaryData.cpp" "${_out}/AppIconData.cpp" "${_out}/LicenceData.cpp")
target_include_directories (kitwarden_resources PUBLIC "${_out}")
