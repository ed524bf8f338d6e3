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
using testing_support::TempFolder;

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
    // Real folders: a prefix counts only once Wine has made it, drive_c and all.
    TempFolder temp;
    const auto root = temp.get().getFullPathName();
    temp.get().getChildFile ("prefix/drive_c").createDirectory();
    temp.get().getChildFile ("home/.wine/drive_c").createDirectory();
    temp.get().getChildFile ("bare-home").createDirectory();
    temp.get().getChildFile ("no-drive-prefix").createDirectory();
    const auto prefixDrive = temp.get().getChildFile ("prefix/drive_c");
    const auto homeDrive = temp.get().getChildFile ("home/.wine/drive_c");

    const auto userDatabaseHome = juce::File (juce::String::fromUTF8 (getpwuid (getuid())->pw_dir));
    const auto userDatabaseDrive = userDatabaseHome.getChildFile (".wine/drive_c").isDirectory()
                                       ? userDatabaseHome.getChildFile (".wine/drive_c") : juce::File();

    struct Case
    {
        const char* name;
        std::optional<juce::String> winePrefix;   // nothing: unset
        juce::String home;
        std::optional<juce::String> tmpDir;
        juce::File driveC;        // empty: no drive C: at all
        juce::File temp;          // empty: no temporary folder
    };
    const Case cases[] = {
        { "absolute prefix", root + "/prefix", root + "/home", {}, prefixDrive, juce::File ("/tmp") },
        { "relative prefix gives no drive", juce::String ("relative/prefix"), root + "/home", {}, {}, juce::File ("/tmp") },
        { "a prefix not made yet gives no drive", root + "/missing", root + "/home", {}, {}, juce::File ("/tmp") },
        { "a prefix without drive_c gives no drive", root + "/no-drive-prefix", root + "/home", {}, {}, juce::File ("/tmp") },
        { "empty prefix is unset", juce::String(), root + "/home", {}, homeDrive, juce::File ("/tmp") },
        { "unset prefix: home", {}, root + "/home", {}, homeDrive, juce::File ("/tmp") },
        { "home without a prefix gives no drive", {}, root + "/bare-home", {}, {}, juce::File ("/tmp") },
        { "empty home: the user database", {}, "", {}, userDatabaseDrive, juce::File ("/tmp") },
        { "relative home: the user database", {}, "somewhere", {}, userDatabaseDrive, juce::File ("/tmp") },
        { "absolute TMPDIR", root + "/prefix", root + "/home", juce::String ("/var/scratch"), prefixDrive, juce::File ("/var/scratch") },
        { "relative TMPDIR gives no folder", root + "/prefix", root + "/home", juce::String ("scratch"), prefixDrive, {} },
        { "empty TMPDIR is unset", root + "/prefix", root + "/home", juce::String(), prefixDrive, juce::File ("/tmp") },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ScopedEnvironment env;
        env.set ("WINEPREFIX", c.winePrefix ? c.winePrefix->toRawUTF8() : nullptr);
        env.set ("HOME", c.home.toRawUTF8());
        env.set ("TMPDIR", c.tmpDir ? c.tmpDir->toRawUTF8() : nullptr);

        const auto folders = platform::querySystemFolders();
        EXPECT_EQ (folders.driveC, c.driveC);
        EXPECT_EQ (folders.commonAppData, c.driveC == juce::File() ? juce::File() : c.driveC.getChildFile ("ProgramData"));
        EXPECT_EQ (folders.temp, c.temp);
    }
}

