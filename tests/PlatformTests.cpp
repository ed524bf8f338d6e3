#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using testing_support::ScopedPrefix;

namespace
{
struct PathCase
{
    const char* windowsPath;
    const char* expectedBelowPrefix;   // nullptr: no file at all
};

const PathCase pathCases[] = {
    { "C:\\Program Files\\Common Files\\VST3", "drive_c/Program Files/Common Files/VST3" },
    { "C:/Program Files/Common Files/CLAP", "drive_c/Program Files/Common Files/CLAP" },
    { "c:\\Mixed/Separators\\Here", "drive_c/Mixed/Separators/Here" },
    { "C:\\", "drive_c" },
    { "C:\\Plugins\\..\\..\\..\\Escaped", "drive_c/Escaped" },
    { "C:\\a\\.\\b\\\\c\\", "drive_c/a/b/c" },
    { "D:\\Audio\\VST3", "dosdevices/d:/Audio/VST3" },
    { "z:/home", "dosdevices/z:/home" },
    { "", nullptr },
    { "VST3", nullptr },
    { "Program Files\\VST3", nullptr },
    { "C:", nullptr },
    { "C:relative\\path", nullptr },
    { "\\\\server\\share\\VST3", nullptr },
    { "1:\\x", nullptr },
    { "~/plugins", nullptr },
};
} // namespace

TEST (PlatformPaths, WindowsPathsMapIntoThePrefixAndNothingElseBecomesAPath)
{
    ScopedPrefix prefix;

    for (const auto& c : pathCases)
    {
        SCOPED_TRACE (c.windowsPath);
        const auto file = platform::fileFromWindowsPath (c.windowsPath);

        if (c.expectedBelowPrefix == nullptr)
            EXPECT_EQ (file, juce::File()) << file.getFullPathName();
        else
            EXPECT_EQ (file.getFullPathName(), prefix.root().getChildFile (c.expectedBelowPrefix).getFullPathName());
    }
}

TEST (PlatformPaths, AbsolutePosixPathsAreTakenAsTheyAre)
{
    ScopedPrefix prefix;
    EXPECT_EQ (platform::fileFromWindowsPath ("/opt/plugins/vst3").getFullPathName(), "/opt/plugins/vst3");
    EXPECT_EQ (platform::windowsPathFromFile (juce::File ("/opt/plugins/vst3")), "/opt/plugins/vst3");
}

TEST (PlatformPaths, FilesOnDriveCAreWrittenInWindowsFormAndReadBack)
{
    ScopedPrefix prefix;
    const auto vst3 = prefix.commonFiles().getChildFile ("VST3");

    EXPECT_EQ (platform::windowsPathFromFile (vst3), "C:\\Program Files\\Common Files\\VST3");
    EXPECT_EQ (platform::windowsPathFromFile (prefix.driveC()), "C:\\");
    EXPECT_EQ (platform::fileFromWindowsPath (platform::windowsPathFromFile (vst3)), vst3);
    EXPECT_EQ (platform::windowsPathFromFile (juce::File()), juce::String());
}

TEST (PlatformFolders, WinePrefixComesFromTheEnvironmentWhenAbsolute)
{
    const char* saved = std::getenv ("WINEPREFIX");
    const juce::String savedValue = saved != nullptr ? juce::String (saved) : juce::String();
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);

    struct Case { const char* value; juce::File expectedDriveC; };
    const Case cases[] = {
        { "/srv/prefix", juce::File ("/srv/prefix/drive_c") },
        { "relative/prefix", home.getChildFile (".wine/drive_c") },
        { "", home.getChildFile (".wine/drive_c") },
        { nullptr, home.getChildFile (".wine/drive_c") },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.value == nullptr ? "(unset)" : c.value);

        if (c.value == nullptr)
            unsetenv ("WINEPREFIX");
        else
            setenv ("WINEPREFIX", c.value, 1);

        const auto folders = platform::querySystemFolders();
        EXPECT_EQ (folders.driveC, c.expectedDriveC);
        EXPECT_EQ (folders.commonAppData, c.expectedDriveC.getChildFile ("ProgramData"));
        EXPECT_EQ (folders.temp, juce::File::getSpecialLocation (juce::File::tempDirectory));
    }

    if (saved != nullptr)
        setenv ("WINEPREFIX", savedValue.toRawUTF8(), 1);
    else
        unsetenv ("WINEPREFIX");
}

TEST (PlatformFolders, TestFoldersReplaceTheSystemsUntilReset)
{
    {
        ScopedPrefix prefix;
        EXPECT_EQ (platform::commonAppDataFolder(), prefix.driveC().getChildFile ("ProgramData"));
        EXPECT_EQ (platform::tempFolder(), prefix.tempDir());
    }

    EXPECT_EQ (platform::commonAppDataFolder(), platform::querySystemFolders().commonAppData);
}
