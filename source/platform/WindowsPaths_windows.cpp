// Windows edition: Windows paths are the system's own.
#include "WindowsPaths.h"

namespace platform
{
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
