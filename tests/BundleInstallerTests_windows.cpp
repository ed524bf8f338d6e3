// Windows edition: a plug-in held open by another program (a host) is "in use", never "no
// permission", and nothing about the bundle changes; read-only files are no obstacle; under Wine
// a bundle that is a Unix link is replaced or removed as a link, its target untouched.
#include "install/BundleInstaller.h"
#include "support/InstallSite.h"
#include "support/ReferenceBundles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

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
/** A path inside the bundle held by another process (kw_hold_tool) until destroyed. */
class HeldByAnotherProcess
{
public:
    HeldByAnotherProcess (const juce::String& how, const juce::File& path)
    {
        if (process.start (juce::StringArray { KW_HOLD_TOOL, how, path.getFullPathName() }, juce::ChildProcess::wantStdOut))
        {
            char text[4] = {};
            held = process.readProcessOutput (text, 4) == 4 && juce::String (text, 4) == "held";
        }
    }

    ~HeldByAnotherProcess()
    {
        process.kill();
        process.waitForProcessToFinish (-1);
    }

    bool isHeld() const { return held; }

private:
    juce::ChildProcess process;
    bool held = false;
};

/** Wine's mapping from its paths to the Unix host's; nothing on Windows. */
juce::String unixPathOf (const juce::File& file)
{
    using ToUnixName = char* (__cdecl *) (const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnixName> (reinterpret_cast<void*> (
        GetProcAddress (GetModuleHandleW (L"kernel32.dll"), "wine_get_unix_file_name")));

    if (toUnix == nullptr)
        return {};

    auto* name = toUnix (file.getFullPathName().toWideCharPointer());

    if (name == nullptr)
        return {};

    const auto result = juce::String::fromUTF8 (name);
    HeapFree (GetProcessHeap(), 0, name);
    return result;
}

/** A Unix symbolic link at link to target, made by the host's ln through Wine's ntdll. */
bool makeUnixLink (const juce::File& target, const juce::File& link)
{
    using SpawnUnix = LONG (__cdecl *) (char* const*, int);
    const auto spawn = reinterpret_cast<SpawnUnix> (reinterpret_cast<void*> (
        GetProcAddress (GetModuleHandleW (L"ntdll.dll"), "__wine_unix_spawnvp")));
    const auto from = unixPathOf (target);
    const auto folder = unixPathOf (link.getParentDirectory());

    if (spawn == nullptr || from.isEmpty() || folder.isEmpty())
        return false;

    std::string arguments[] = { "/bin/ln", "-s", "--", from.toStdString(),
                                (folder.trimCharactersAtEnd ("/") + "/" + link.getFileName()).toStdString() };
    char* argv[] = { arguments[0].data(), arguments[1].data(), arguments[2].data(), arguments[3].data(), arguments[4].data(), nullptr };
    return spawn (argv, 1) == 0;
}

void setReadOnly (const juce::File& path)
{
    const auto attributes = GetFileAttributesW (path.getFullPathName().toWideCharPointer());
    ASSERT_NE (attributes, INVALID_FILE_ATTRIBUTES) << path.getFullPathName();
    ASSERT_TRUE (SetFileAttributesW (path.getFullPathName().toWideCharPointer(), attributes | FILE_ATTRIBUTE_READONLY));
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

TEST (BundleInstallerWindows, APathInsideTheBundleHeldByAnotherProcessIsInUseAndNothingMoves)
{
    // What no exclusive open of a file sees: a folder handle, a working directory, a handle for
    // attributes only. Each keeps a folder or file from being deleted once the bundle is aside.
    struct Case { const char* how; FormatIndex format; const char* inside; };
    const Case cases[] = {
        { "folder",     formatVst3, "Contents" },
        { "cwd",        formatVst3, "Contents/x86_64-win" },
        { "cwd",        formatAax,  "" },
        { "attributes", formatVst3, "Contents/left-over.txt" },
        { "attributes", formatClap, "" },
    };

    for (const auto& c : cases)
    {
        for (const bool uninstall : { false, true })
        {
            SCOPED_TRACE (juce::String (c.how) + " " + formatNames[c.format] + "/" + c.inside + (uninstall ? " uninstall" : " install"));
            Site site (c.format);
            const auto bundle = site.folder.getChildFile (bundleName (c.format));
            const HeldByAnotherProcess held (c.how, *c.inside == 0 ? bundle : bundle.getChildFile (c.inside));
            ASSERT_TRUE (held.isHeld());

            const auto outcome = uninstall ? site.installer().uninstall()
                                           : site.installer().install (payloadData (c.format), payloadSize (c.format));
            EXPECT_EQ (outcome.failure, Failure::fileInUse) << outcome.describe();
            EXPECT_EQ (listTree (site.root), site.before);
        }
    }
}

TEST (BundleInstallerWindows, ReadOnlyFilesAndFoldersInTheOldBundleAreRemoved)
{
    struct Case { FormatIndex format; std::vector<const char*> readOnly; };
    const Case cases[] = {
        { formatVst3, { "Contents/left-over.txt", "Contents/x86_64-win" } },
        { formatAax,  { "Contents/x64/QuernfieldReverb3.aaxplugin", "Contents/x64", "" } },
        { formatClap, { "" } },
    };

    for (const auto& c : cases)
    {
        for (const bool uninstall : { false, true })
        {
            SCOPED_TRACE (juce::String (formatNames[c.format]) + (uninstall ? " uninstall" : " install"));
            Site site (c.format);
            const auto bundle = site.folder.getChildFile (bundleName (c.format));

            for (const auto* path : c.readOnly)
                setReadOnly (*path == 0 ? bundle : bundle.getChildFile (path));

            const auto outcome = uninstall ? site.installer().uninstall()
                                           : site.installer().install (payloadData (c.format), payloadSize (c.format));
            EXPECT_TRUE (outcome.succeeded()) << outcome.describe();

            if (uninstall)
                EXPECT_TRUE (site.bundleNow().empty());
            else
                EXPECT_EQ (site.bundleNow(), referenceBundleListing (c.format));

            // Nothing of the old copy left anywhere, staging included.
            for (const auto& [path, what] : listTree (site.root))
                EXPECT_FALSE (path.contains ("staging") || path.contains ("left-over")) << path;
        }
    }
}

TEST (BundleInstallerWindows, ABundleThatIsAUnixLinkIsReplacedOrRemovedAsALink)
{
    if (unixPathOf (juce::File::getSpecialLocation (juce::File::tempDirectory)).isEmpty())
        GTEST_SKIP() << "no Unix host below";

    for (auto f : { formatVst3, formatClap })
    {
        for (const bool uninstall : { false, true })
        {
            SCOPED_TRACE (juce::String (formatNames[f]) + (uninstall ? " uninstall" : " install"));
            Site site (f);
            // The real bundle lives elsewhere; the format folder holds only a link to it.
            const auto elsewhere = site.root.getChildFile ("elsewhere");
            const auto target = elsewhere.getChildFile ("Real");
            const auto link = site.folder.getChildFile (bundleName (f));
            ASSERT_TRUE (elsewhere.createDirectory());
            ASSERT_TRUE (link.moveFileTo (target));
            ASSERT_TRUE (makeUnixLink (target, link));
            const auto targetBefore = listTree (elsewhere);
            ASSERT_FALSE (targetBefore.empty());
            EXPECT_TRUE (platform::systemFileOps().isLink (link));

            const auto outcome = uninstall ? site.installer().uninstall()
                                           : site.installer().install (payloadData (f), payloadSize (f));
            EXPECT_TRUE (outcome.succeeded()) << outcome.describe();
            EXPECT_EQ (listTree (elsewhere), targetBefore);
            EXPECT_FALSE (platform::systemFileOps().isLink (link));

            if (uninstall)
                EXPECT_TRUE (site.bundleNow().empty());
            else
                EXPECT_EQ (site.bundleNow(), referenceBundleListing (f));

            for (const auto& [path, what] : listTree (site.folder))
                EXPECT_FALSE (path.contains ("staging")) << path;
        }
    }
}
