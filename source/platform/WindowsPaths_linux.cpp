// Linux edition: drive C: is the Wine prefix's drive_c; other letters go through its dosdevices.
#include "WindowsPathsNative.h"

#include "SystemFolders.h"

namespace platform::windows_paths
{
juce::File driveRoot (juce::juce_wchar letter)
{
    const auto driveC = driveCFolder();

    if (driveC == juce::File())
        return {};

    const auto root = letter == 'c' ? driveC
                                    : driveC.getParentDirectory().getChildFile ("dosdevices")
                                          .getChildFile (juce::String::charToString (letter) + ":");

    // A letter Wine has no entry for is no drive; creating the folder would fake one.
    return root.isDirectory() ? root : juce::File();
}

bool isNativeAbsolutePath (const juce::String& path)
{
    return path.startsWithChar ('/');
}
} // namespace platform::windows_paths
