#pragma once

#include <juce_core/juce_core.h>

#include <optional>

/** The operating-system services the installer needs, kept behind one interface.
    Platform.cpp holds what every edition shares; one Platform_<os>.cpp per edition
    holds the rest, and nothing outside this folder calls an OS API.
*/
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

/** A path in the Windows form the shared settings file holds ("C:\...", "D:/...") as a file of
    this system. Anything that is not an absolute path gives an empty juce::File, never a
    path relative to the working folder or the root.
*/
juce::File fileFromWindowsPath (const juce::String& path);

/** The reverse, for writing the settings file: "C:\Program Files\..." for a file on drive C:. */
juce::String windowsPathFromFile (const juce::File& file);

/** The fixed file version of a Windows binary ("3.2.1.0"), or an empty string when it has none. */
juce::String binaryFileVersion (const juce::File& file);

/** Hands an https or mailto link to the system's default handler. */
bool openLink (const juce::URL& link);

/** What the support e-mail reports about this machine. */
struct SystemReport
{
    juce::String osName;
    juce::String deviceDescription;
    juce::String cpuModel;
};

SystemReport systemReport();
} // namespace platform
