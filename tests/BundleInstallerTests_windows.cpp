// Windows edition: a plug-in held open by another program (a host) is "in use", never "no
// permission", and nothing about the bundle changes.
#include "install/BundleInstaller.h"
#include "support/InstallSite.h"
#include "support/ReferenceBundles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace testing_support;
using Failure = InstallOutcome::Failure;

namespace
{
/** A file opened the way a host holds a plug-in: others may read it, none may delete it. */
class HeldOpen
{
public:
    explicit HeldOpen (const juce::File& file)
        : handle (CreateFileW (file.getFullPathName().toWideCharPointer(), GENERIC_READ, FILE_SHARE_READ,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldOpen() { if (isOpen()) CloseHandle (handle); }

    bool isOpen() const { return handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle;
};

/** A DLL loaded into this process, as a host loads a plug-in's binary. */
class Loaded
{
public:
    explicit Loaded (const juce::File& file) : module (LoadLibraryW (file.getFullPathName().toWideCharPointer())) {}
    ~Loaded() { if (module != nullptr) FreeLibrary (module); }

    bool isLoaded() const { return module != nullptr; }

private:
    HMODULE module;
};

juce::File binaryOf (const Site& site)
{
    return FormatSpec::of (site.format).versionFile (site.folder.getChildFile (bundleName (site.format)));
}
} // namespace

TEST (BundleInstallerWindows, APluginHeldOpenIsInUseForInstallAndUninstallAndNothingChanges)
{
    for (auto f : { formatVst3, formatClap, formatAax })
    {
        for (const bool uninstall : { false, true })
        {
            SCOPED_TRACE (juce::String (formatNames[f]) + (uninstall ? " uninstall" : " install"));
            Site site (f);
            HeldOpen held (binaryOf (site));
            ASSERT_TRUE (held.isOpen());

            const auto outcome = uninstall ? site.installer().uninstall()
                                           : site.installer().install (payloadData (f), payloadSize (f));
            EXPECT_EQ (outcome.failure, Failure::fileInUse) << outcome.describe();
            EXPECT_EQ (listTree (site.root), site.before);

            // Where the system names the holder, it is this very process.
            for (const auto& name : outcome.heldBy)
                EXPECT_TRUE (name.containsIgnoreCase ("kitwarden_tests")) << name;
            RecordProperty ("heldBy", outcome.heldBy.joinIntoString (", ").toStdString());
        }
    }
}

TEST (BundleInstallerWindows, ALoadedPluginBinaryIsInUseNotAPermissionProblem)
{
    for (const bool uninstall : { false, true })
    {
        SCOPED_TRACE (uninstall ? "uninstall" : "install");
        Site site (formatClap);
        // The reference bundles carry real PE binaries; one is loaded as a host would.
        const auto binary = site.folder.getChildFile (bundleName (formatClap));
        site.installer().install (payloadData (formatClap), payloadSize (formatClap));
        const auto before = listTree (site.root);
        Loaded loaded (binary);

        if (! loaded.isLoaded())
            GTEST_SKIP() << "the reference CLAP binary does not load here";

        const auto outcome = uninstall ? site.installer().uninstall()
                                       : site.installer().install (payloadData (formatClap), payloadSize (formatClap));
        EXPECT_EQ (outcome.failure, Failure::fileInUse) << outcome.describe();
        EXPECT_EQ (listTree (site.root), before);
    }
}
