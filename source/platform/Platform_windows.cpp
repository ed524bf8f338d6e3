// Windows edition: the system's own services. Built instead of Platform_linux.cpp on Windows.
#include "Platform.h"

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

juce::File fileFromWindowsPath (const juce::String& path)
{
    const bool driveAbsolute = path.length() >= 3 && juce::CharacterFunctions::isLetter (path[0])
                               && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    const bool unc = path.startsWith ("\\\\");

    if (! driveAbsolute && ! unc)
        return {};

    return juce::File (path.replaceCharacter ('/', '\\'));
}

juce::String windowsPathFromFile (const juce::File& file)
{
    return file.getFullPathName();
}
} // namespace platform
