// Windows edition: the system's folders, drive letters while tests replace the system's folders,
// and the renderer chosen under Wine.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using testing_support::ScopedPrefix;

TEST (PlatformPaths, WhileTestsReplaceTheFoldersNoOtherDriveExists)
{
    ScopedPrefix prefix;

    for (const auto* path : { "D:\\Audio\\VST3", "z:/home", "E:\\" })
    {
        SCOPED_TRACE (path);
        EXPECT_EQ (platform::fileFromWindowsPath (path), juce::File());
    }
}

TEST (PlatformPaths, WithTheSystemsFoldersDriveLettersAreTheSystemsOwn)
{
    EXPECT_EQ (platform::fileFromWindowsPath ("c:/Windows\\System32").getFullPathName(), "C:\\Windows\\System32");
    EXPECT_EQ (platform::windowsPathFromFile (juce::File ("C:\\Windows")), "C:\\Windows");
}

TEST (PlatformFolders, TheSystemNamesItsFolders)
{
    const auto folders = platform::querySystemFolders();

    EXPECT_EQ (folders.driveC, juce::File ("C:\\"));
    EXPECT_TRUE (folders.commonAppData.isDirectory()) << folders.commonAppData.getFullPathName();
    EXPECT_TRUE (folders.temp.isDirectory()) << folders.temp.getFullPathName();
}

TEST (PlatformRendering, TheSoftwareRendererIsChosenUnderWineOnly)
{
    // The test runner says where it runs the tests.
    const bool underWine = std::getenv ("KW_UNDER_WINE") != nullptr;
    EXPECT_EQ (platform::prefersSoftwareRendering(), underWine);
}
