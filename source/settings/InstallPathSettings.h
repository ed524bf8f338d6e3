#pragma once

#include "product/FormatSpec.h"

#include <juce_core/juce_core.h>

#include <array>

/** The small XML file, shared by all of the maker's installers, that says where each plug-in
    format is installed. It is read once at start-up, or written with the defaults when absent;
    an existing file is never rewritten.
*/
namespace InstallPathSettings
{
/** Folders by format index. */
using FormatFolders = std::array<juce::File, numFormats>;

juce::File settingsFileIn (const juce::File& settingsFolder);

/** The document written when there is none: the note and the three folders' Windows paths. */
std::unique_ptr<juce::XmlElement> createDefaultDocument (const FormatFolders& folders);

/** Reads the file into folders (creating folders it names that are missing), or writes it
    from folders when it does not exist. A path the file names that is missing, empty or not
    absolute leaves that format with an empty juce::File: no folder at all.
*/
void loadOrCreate (const juce::File& settingsFolder, FormatFolders& folders);
} // namespace InstallPathSettings
