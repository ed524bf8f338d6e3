#pragma once

#include <juce_core/juce_core.h>

#include <optional>

namespace platform
{
/** Folders the operating system names for us. An empty juce::File means the OS call failed. */
struct Folders
{
    juce::File commonAppData;   // all users' application data (CSIDL_COMMON_APPDATA)
    juce::File temp;            // the user's temporary folder
    juce::File driveC;          // where a "C:" path lands: "C:\" itself, or a Wine prefix's drive_c
};

/** The edition's own answer, asked of the OS each time. */
Folders querySystemFolders();

/** Lets tests run the program's code against folders of their own, in-process.
    Pass std::nullopt to go back to the system's.
*/
void setFoldersForTesting (std::optional<Folders> replacement);

juce::File commonAppDataFolder();
juce::File tempFolder();
juce::File driveCFolder();

} // namespace platform
