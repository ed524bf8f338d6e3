#include "support/TestSupport.h"
#include "support/WindowsPathCases.h"

#include <gtest/gtest.h>

using testing_support::ScopedPrefix;

namespace
{
// The same on both editions: drive C: is the test prefix's drive_c.
const std::vector<testing_support::WindowsPathCase> pathCases = {
    { "C:\\Program Files\\Common Files\\VST3", "drive_c/Program Files/Common Files/VST3" },
    { "C:/Program Files/Common Files/CLAP", "drive_c/Program Files/Common Files/CLAP" },
    { "c:\\Mixed/Separators\\Here", "drive_c/Mixed/Separators/Here" },
    { "C:\\", "drive_c" },
    { "C:\\Plugins\\..\\..\\..\\Escaped", "drive_c/Escaped" },
    { "C:\\a\\.\\b\\\\c\\", "drive_c/a/b/c" },
    { "//server/share/x", nullptr },
    { "/\\server\\share", nullptr },
    { "\\/server/share", nullptr },
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

TEST (PlatformPaths, WindowsPathsOnDriveCMapIntoThePrefixAndNothingElseBecomesAPath)
{
    ScopedPrefix prefix;
    testing_support::expectWindowsPathsMap (prefix, pathCases);
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

TEST (PlatformFolders, TestFoldersReplaceTheSystemsUntilReset)
{
    {
        ScopedPrefix prefix;
        EXPECT_EQ (platform::commonAppDataFolder(), prefix.driveC().getChildFile ("ProgramData"));
        EXPECT_EQ (platform::tempFolder(), prefix.tempDir());
    }

    EXPECT_EQ (platform::commonAppDataFolder(), platform::querySystemFolders().commonAppData);
}
