// Windows edition: drive letters are the system's own, except while tests replace the system's
// folders; then drive C: is their folder and no other drive exists, so a test never writes
// onto a real drive.
#include "WindowsPathsNative.h"

#include "SystemFolders.h"

namespace platform::windows_paths
{
juce::File driveRoot (juce::juce_wchar letter)
{
    const auto driveC = driveCFolder();

    if (driveC == juce::File())
        return {};

    if (driveC != juce::File ("C:\\"))
        return letter == 'c' ? driveC : juce::File();

    const juce::File root (juce::String::charToString (letter).toUpperCase() + ":\\");
    return root.isDirectory() ? root : juce::File();
}

bool isNativeAbsolutePath (const juce::String&)
{
    return false;
}
} // namespace platform::windows_paths
