// Linux edition. The product's plug-ins are Windows binaries, so on Linux they live in a Wine
// prefix: drive C: is the prefix's drive_c folder.
#include "SystemFolders.h"

#include <cstdlib>

namespace platform
{
namespace
{
juce::File winePrefix()
{
    if (auto* env = std::getenv ("WINEPREFIX"))
    {
        const auto value = juce::String::fromUTF8 (env);

        if (value.startsWithChar ('/'))
            return juce::File (value);
    }

    return juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (".wine");
}

} // namespace

Folders querySystemFolders()
{
    auto driveC = winePrefix().getChildFile ("drive_c");
    return { driveC.getChildFile ("ProgramData"),
             juce::File::getSpecialLocation (juce::File::tempDirectory),
             driveC };
}
} // namespace platform
