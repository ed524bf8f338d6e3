// Windows paths as the shared settings file holds them, on either edition. Where a drive's
// root lands is the edition's own (WindowsPaths_<os>.cpp).
#include "WindowsPaths.h"

#include "SystemFolders.h"
#include "WindowsPathsNative.h"

namespace platform
{
namespace
{
bool isDriveLetter (juce::juce_wchar c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isSeparator (juce::juce_wchar c)
{
    return c == '\\' || c == '/';
}

// Windows refuses these in a name; a folder made with one on Linux is one no Windows program
// can open.
bool hasForbiddenCharacter (const juce::String& rest)
{
    for (auto c : rest)
        if (c < 0x20 || juce::String ("<>:\"|?*").containsChar (c))
            return true;

    return false;
}

// Joins the parts below a drive root, resolving "." and ".." without climbing above the root,
// as Windows does for "C:\..\x".
juce::File childOfRoot (const juce::File& root, const juce::String& rest)
{
    juce::StringArray parts;
    parts.addTokens (rest.replaceCharacter ('\\', '/'), "/", {});
    juce::StringArray kept;

    for (auto& part : parts)
    {
        if (part.isEmpty() || part == ".")
            continue;

        if (part == "..")
        {
            if (! kept.isEmpty())
                kept.remove (kept.size() - 1);

            continue;
        }

        kept.add (part);
    }

    return kept.isEmpty() ? root : root.getChildFile (kept.joinIntoString ("/"));
}
} // namespace

juce::File fileFromWindowsPath (const juce::String& path)
{
    // Two leading separators in any mix name a network share, never a local folder.
    if (path.length() >= 2 && isSeparator (path[0]) && isSeparator (path[1]))
        return {};

    if (windows_paths::isNativeAbsolutePath (path))
        return hasForbiddenCharacter (path) ? juce::File() : juce::File (path);

    if (path.length() < 3 || ! isDriveLetter (path[0]) || path[1] != ':' || ! isSeparator (path[2]))
        return {};

    if (hasForbiddenCharacter (path.substring (3)))
        return {};

    const auto root = windows_paths::driveRoot (juce::CharacterFunctions::toLowerCase (path[0]));

    if (root == juce::File())
        return {};

    return childOfRoot (root, path.substring (3));
}

juce::String windowsPathFromFile (const juce::File& file)
{
    auto driveC = driveCFolder();

    if (file == juce::File())
        return {};

    if (driveC != juce::File() && file == driveC)
        return "C:\\";

    if (driveC != juce::File() && file.isAChildOf (driveC))
        return "C:\\" + file.getRelativePathFrom (driveC).replaceCharacter ('/', '\\');

    return file.getFullPathName();
}
} // namespace platform
