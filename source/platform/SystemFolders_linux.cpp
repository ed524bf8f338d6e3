// Linux edition. The product's plug-ins are Windows binaries, so on Linux they live in a Wine
// prefix: drive C: is the prefix's drive_c folder.
#include "SystemFolders.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace platform
{
namespace
{
/** The variable's value; empty when it is unset or empty. */
juce::String environment (const char* name)
{
    auto* value = std::getenv (name);
    return value != nullptr ? juce::String::fromUTF8 (value) : juce::String();
}

/** An absolute home: $HOME, else the user database's entry. Empty when neither has one. */
juce::File homeFolder()
{
    if (const auto home = environment ("HOME"); home.startsWithChar ('/'))
        return juce::File (home);

    if (auto* entry = ::getpwuid (::getuid()); entry != nullptr && entry->pw_dir != nullptr)
        if (const auto home = juce::String::fromUTF8 (entry->pw_dir); home.startsWithChar ('/'))
            return juce::File (home);

    return {};
}

/** As Wine finds it: $WINEPREFIX, which must be absolute, else ~/.wine. Empty when there is none. */
juce::File winePrefix()
{
    if (const auto prefix = environment ("WINEPREFIX"); prefix.isNotEmpty())
        return prefix.startsWithChar ('/') ? juce::File (prefix) : juce::File();

    const auto home = homeFolder();
    return home == juce::File() ? juce::File() : home.getChildFile (".wine");
}

/** $TMPDIR when absolute, /tmp when it is unset; a relative one names no folder. */
juce::File temporaryFolder()
{
    const auto temp = environment ("TMPDIR");

    if (temp.isEmpty())
        return juce::File ("/tmp");

    return temp.startsWithChar ('/') ? juce::File (temp) : juce::File();
}
} // namespace

Folders querySystemFolders()
{
    const auto prefix = winePrefix();
    const auto driveC = prefix == juce::File() ? juce::File() : prefix.getChildFile ("drive_c");

    // Wine makes a prefix on its first run; the installer does not, so a prefix that is not
    // there yet has no drive C: to write to.
    if (driveC == juce::File() || ! driveC.isDirectory())
        return { {}, temporaryFolder(), {} };

    return { driveC.getChildFile ("ProgramData"), temporaryFolder(), driveC };
}
} // namespace platform
