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

add_executable (kw_embed tools/embed_resources.cpp)
target_compile_options (kw_embed PRIVATE -Wall -Wextra)

set (_out "${CMAKE_BINARY_DIR}/generated")
set (_inputs "")
foreach (_f IN LISTS KW_RESOURCE_FILES)
    list (APPEND _inputs "${KW_RESOURCES_DIR}/${_f}")
endforeach()

add_custom_command (
    OUTPUT "${_out}/BinaryData.h" "${_out}/BinaryData.cpp"
    COMMAND kw_embed --namespace BinaryData --header "${_out}/BinaryData.h" --source "${_out}/BinaryData.cpp" ${_inputs}
    DEPENDS kw_embed ${_inputs}
    COMMENT "Embedding ${CMAKE_SOURCE_DIR}/resources"
    VERBATIM)

# The window's icon is ours but not one of the product's resources, so it gets its own namespace.
add_custom_command (
    OUTPUT "${_out}/AppIconData.h" "${_out}/AppIconData.cpp"
    COMMAND kw_embed --namespace AppIconData --header "${_out}/AppIconData.h" --source "${_out}/AppIconData.cpp"
            "${KW_RESOURCES_DIR}/app/kitwarden_icon.svg"
    DEPENDS kw_embed "${KW_RESOURCES_DIR}/app/kitwarden_icon.svg"
    VERBATIM)

# The licence agreement's text, kept as a plain text file beside the panel that shows it.
add_custom_command (
    OUTPUT "${_out}/LicenceData.h" "${_out}/LicenceData.cpp"
    COMMAND kw_embed --namespace LicenceData --header "${_out}/LicenceData.h" --source "${_out}/LicenceData.cpp"
            "${CMAKE_SOURCE_DIR}/source/panels/licence_agreement.txt"
    DEPENDS kw_embed "${CMAKE_SOURCE_DIR}/source/panels/licence_agreement.txt"
    VERBATIM)

add_library (kitwarden_resources STATIC
    "${_out}/BinaryData.cpp" "${_out}/AppIconData.cpp" "${_out}/LicenceData.cpp")
target_include_directories (kitwarden_resources PUBLIC "${_out}")
