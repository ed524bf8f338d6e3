// Windows edition: the folders the system names.
#include "SystemFolders.h"

#include <windows.h>
#include <shlobj.h>

namespace platform
{
Folders querySystemFolders()
{
    Folders folders;

    WCHAR appData[MAX_PATH] = {};
    if (SHGetSpecialFolderPathW (nullptr, appData, CSIDL_COMMON_APPDATA, FALSE))
        folders.commonAppData = juce::File (juce::String (appData));

    WCHAR temp[2048] = {};
    if (GetTempPathW (2048, temp) != 0)
        folders.temp = juce::File (juce::String (temp));

    folders.driveC = juce::File ("C:\\");
    return folders;
}
} // namespace platform
