// Linux edition: other drive letters through the prefix's dosdevices, POSIX paths, and the
// environment that names the prefix.
#include "support/TestSupport.h"
#include "support/WindowsPathCases.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <pwd.h>
#include <string>
#include <unistd.h>

using testing_support::ScopedPrefix;

TEST (PlatformPaths, OtherDriveLettersGoThroughTheDosdevicesEntries)
{
    ScopedPrefix prefix;
    // Wine's drive entries: D: a link to a folder elsewhere, Z: a folder.
    const auto dosdevices = prefix.root().getChildFile ("dosdevices");
    dosdevices.getChildFile ("z:").createDirectory();
    prefix.root().getChildFile ("elsewhere").createDirectory();
    prefix.root().getChildFile ("elsewhere").createSymbolicLink (dosdevices.getChildFile ("d:"), true);

    testing_support::expectWindowsPathsMap (prefix, {
        { "D:\\Audio\\VST3", "dosdevices/d:/Audio/VST3" },
        { "z:/home", "dosdevices/z:/home" },
        { "E:\\Audio", nullptr },                     // the prefix has no dosdevices entry for E:
    });
}

TEST (PlatformPaths, AbsolutePosixPathsAreTakenAsTheyAre)
{
    ScopedPrefix prefix;
    EXPECT_EQ (platform::fileFromWindowsPath ("/opt/plugins/vst3").getFullPathName(), "/opt/plugins/vst3");
    EXPECT_EQ (platform::windowsPathFromFile (juce::File ("/opt/plugins/vst3")), "/opt/plugins/vst3");
}

namespace
{
/** Sets or unsets environment variables for one scope, restoring them after. */
class ScopedEnvironment
{
public:
    void set (const char* name, const char* value)
    {
        if (saved.count (name) == 0)
        {
            auto* old = std::getenv (name);
            saved[name] = old != nullptr ? std::optional<std::string> (old) : std::nullopt;
        }

        if (value == nullptr)
            unsetenv (name);
        else
            setenv (name, value, 1);
    }

    ~ScopedEnvironment()
    {
        for (auto& [name, value] : saved)
            if (value.has_value())
                setenv (name.c_str(), value->c_str(), 1);
            else
                unsetenv (name.c_str());
    }

private:
    std::map<std::string, std::optional<std::string>> saved;
};
} // namespace

TEST (PlatformFolders, PrefixHomeAndTemporaryFolderComeFromTheEnvironmentOnlyWhenAbsolute)
{
    const auto userDatabaseHome = juce::File (juce::String::fromUTF8 (getpwuid (getuid())->pw_dir));

    struct Case
    {
        const char* name;
        const char* winePrefix;   // nullptr: unset
        const char* home;
        const char* tmpDir;
        juce::File driveC;        // empty: no drive C: at all
        juce::File temp;          // empty: no temporary folder
    };
    const Case cases[] = {
        { "absolute prefix", "/srv/prefix", "/home/someone", nullptr, juce::File ("/srv/prefix/drive_c"), juce::File ("/tmp") },
        { "relative prefix gives no drive", "relative/prefix", "/home/someone", nullptr, {}, juce::File ("/tmp") },
        { "empty prefix is unset", "", "/home/someone", nullptr, juce::File ("/home/someone/.wine/drive_c"), juce::File ("/tmp") },
        { "unset prefix: home", nullptr, "/home/someone", nullptr, juce::File ("/home/someone/.wine/drive_c"), juce::File ("/tmp") },
        { "empty home: the user database", nullptr, "", nullptr, userDatabaseHome.getChildFile (".wine/drive_c"), juce::File ("/tmp") },
        { "relative home: the user database", nullptr, "somewhere", nullptr, userDatabaseHome.getChildFile (".wine/drive_c"), juce::File ("/tmp") },
        { "absolute TMPDIR", "/srv/prefix", "/home/someone", "/var/scratch", juce::File ("/srv/prefix/drive_c"), juce::File ("/var/scratch") },
        { "relative TMPDIR gives no folder", "/srv/prefix", "/home/someone", "scratch", juce::File ("/srv/prefix/drive_c"), {} },
        { "empty TMPDIR is unset", "/srv/prefix", "/home/someone", "", juce::File ("/srv/prefix/drive_c"), juce::File ("/tmp") },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ScopedEnvironment env;
        env.set ("WINEPREFIX", c.winePrefix);
        env.set ("HOME", c.home);
        env.set ("TMPDIR", c.tmpDir);

        const auto folders = platform::querySystemFolders();
        EXPECT_EQ (folders.driveC, c.driveC);
        EXPECT_EQ (folders.commonAppData, c.driveC == juce::File() ? juce::File() : c.driveC.getChildFile ("ProgramData"));
        EXPECT_EQ (folders.temp, c.temp);
    }
}

