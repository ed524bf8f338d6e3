#include "install/BundleInstaller.h"
#include "support/ReferenceBundles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <zlib.h>

extern char** environ;

using namespace testing_support;
using Failure = InstallOutcome::Failure;
using platform::FileError;

namespace
{
enum class Op { createFolders, writeFile, setFileTime, move, exchange, removeTree };

/** The system's file operations, with one kind of call failing at its nth use (and the
    times - 1 uses after it).
*/
class FailingOps : public platform::FileOps
{
public:
    FailingOps (Op o, int n, FileError e, int times = 1) : failing (o), failFrom (n), failTimes (times), error (e) {}

    FileError createFolders (const juce::File& f) override                 { return check (Op::createFolders) ? error : real().createFolders (f); }
    FileError createFolderExclusive (const juce::File& f) override         { return check (Op::createFolders) ? error : real().createFolderExclusive (f); }
    FileError writeFile (const juce::File& f, const void* d, size_t s) override { return check (Op::writeFile) ? error : real().writeFile (f, d, s); }
    FileError setFileTime (const juce::File& f, juce::Time t) override     { return check (Op::setFileTime) ? error : real().setFileTime (f, t); }
    FileError move (const juce::File& a, const juce::File& b) override     { return check (Op::move) ? error : real().move (a, b); }
    FileError exchange (const juce::File& a, const juce::File& b) override { return check (Op::exchange) ? error : real().exchange (a, b); }
    FileError removeTree (const juce::File& f) override                    { return check (Op::removeTree) ? error : real().removeTree (f); }
    bool existsNoFollow (const juce::File& f) override                     { return real().existsNoFollow (f); }
    bool isLink (const juce::File& f) override                             { return real().isLink (f); }
    FileError checkRemovable (const juce::File& f) override                { return real().checkRemovable (f); }

private:
    static platform::FileOps& real() { return platform::systemFileOps(); }

    bool check (Op o)
    {
        if (o != failing)
            return false;
        ++calls;
        return calls >= failFrom && calls < failFrom + failTimes;
    }

    Op failing;
    int failFrom, failTimes, calls = 0;
    FileError error;
};

/** A format folder inside a fresh tree that holds an old bundle and a neighbour. */
struct Site
{
    explicit Site (FormatIndex f, const juce::File& base = {}) : format (f)
    {
        root = base == juce::File() ? temp.get() : base;
        folder = root.getChildFile ("Common Files").getChildFile (formatNames[f]);
        putOldBundle (folder, format);
        root.getChildFile ("neighbour.txt").replaceWithText ("not ours");
        folder.getChildFile ("Another.vst3").createDirectory();
        before = listTree (root);
    }

    BundleInstaller installer (platform::FileOps& ops = platform::systemFileOps()) const
    {
        return BundleInstaller (folder, "QuernfieldReverb3", bundleName (format), ops);
    }

    std::map<juce::String, juce::String> bundleNow() const
    {
        return bundlePart (listTree (folder), bundleName (format));
    }

    TempFolder temp;
    FormatIndex format;
    juce::File root, folder;
    std::map<juce::String, juce::String> before;
};

juce::MemoryBlock payloadCopy (FormatIndex f)
{
    return juce::MemoryBlock (payloadData (f), payloadSize (f));
}

/** Offset of the central directory entry of the archive's last entry (the plug-in binary). */
size_t lastDirectoryEntry (const juce::MemoryBlock& zip)
{
    const auto* p = static_cast<const uint8_t*> (zip.getData());
    for (size_t i = zip.getSize() - 4; i > 0; --i)
        if (p[i] == 'P' && p[i + 1] == 'K' && p[i + 2] == 1 && p[i + 3] == 2)
            return i;
    return 0;
}

juce::MemoryBlock zipWithEntries (const juce::StringArray& names)
{
    juce::ZipFile::Builder builder;
    for (auto& name : names)
        builder.addEntry (new juce::MemoryInputStream (juce::MemoryBlock ("x", 1), true), 0, name, juce::Time::getCurrentTime());

    juce::MemoryOutputStream out;
    builder.writeToStream (out, nullptr);
    return out.getMemoryBlock();
}

bool runningAsRoot() { return geteuid() == 0; }

/** A small tmpfs, or a read-only view of a folder, for the real failures; needs root. */
class ScopedMount
{
public:
    static std::unique_ptr<ScopedMount> tmpfs (const juce::File& at, const char* options)
    {
        at.createDirectory();
        if (! runningAsRoot() || ::mount ("tmpfs", at.getFullPathName().toRawUTF8(), "tmpfs", 0, options) != 0)
            return nullptr;
        return std::unique_ptr<ScopedMount> (new ScopedMount (at));
    }

    static std::unique_ptr<ScopedMount> readOnly (const juce::File& at)
    {
        const auto path = at.getFullPathName().toRawUTF8();
        if (! runningAsRoot() || ::mount (path, path, nullptr, MS_BIND, nullptr) != 0)
            return nullptr;
        std::unique_ptr<ScopedMount> m (new ScopedMount (at));
        if (::mount (path, path, nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
            return nullptr;
        return m;
    }

    ~ScopedMount() { ::umount2 (where.getFullPathName().toRawUTF8(), MNT_DETACH); }

private:
    explicit ScopedMount (juce::File at) : where (std::move (at)) {}
    juce::File where;
};

int spawnTool (const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back (const_cast<char*> (a.c_str()));
    argv.push_back (nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    posix_spawn_file_actions_addopen (&actions, 1, "/dev/null", O_WRONLY, 0);

    pid_t pid = 0;
    const auto result = posix_spawn (&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy (&actions);
    return result == 0 ? pid : -1;
}

int waitFor (int pid)
{
    int status = 0;
    waitpid (pid, &status, 0);
    return status;
}
} // namespace

TEST (BundleInstaller, InstallReplacesTheBundleExactlyAndLeavesNoStaging)
{
    for (auto f : { formatVst3, formatClap, formatAax })
    {
        SCOPED_TRACE (formatNames[f]);
        Site site (f);
        EXPECT_TRUE (site.installer().install (payloadData (f), payloadSize (f)).succeeded());
        EXPECT_EQ (site.bundleNow(), referenceBundleListing (f));

        auto after = listTree (site.root);
        for (auto& [path, what] : site.before)
        {
            if (! path.contains (bundleName (f)))
            {
                EXPECT_EQ (after[path], what) << path;
            }
        }
        for (auto& [path, what] : after)
            EXPECT_FALSE (path.contains ("staging")) << path;
    }
}

TEST (BundleInstaller, FailuresLeaveTheOldBundleAndEverythingElseAsItWas)
{
    struct Case { const char* name; bool uninstall; Op op; int from; FileError error; Failure expected; int times = 1; bool noExchange = false; };
    const Case cases[] = {
        { "disk full on the first file", false, Op::writeFile, 1, FileError::diskFull, Failure::diskFull },
        { "disk full on the plug-in binary", false, Op::writeFile, 4, FileError::diskFull, Failure::diskFull },
        { "no permission for the staging folder", false, Op::createFolders, 1, FileError::noPermission, Failure::noPermission },
        { "time stamps refused", false, Op::setFileTime, 2, FileError::other, Failure::other },
        { "the old bundle is in use and cannot be moved", false, Op::move, 1, FileError::inUse, Failure::fileInUse },
        { "no swap in one step, and the second move fails", false, Op::move, 2, FileError::other, Failure::other },
        { "disk full on every file from the third on", false, Op::writeFile, 3, FileError::diskFull, Failure::diskFull, 1000 },
        { "uninstall of a bundle in use", true, Op::move, 1, FileError::inUse, Failure::fileInUse },
        { "uninstall without permission", true, Op::createFolders, 1, FileError::noPermission, Failure::noPermission },
        // Removals: the staging folder's, then the one after the swap.
        { "the replaced copy cannot be deleted: it goes back", false, Op::removeTree, 2, FileError::noPermission, Failure::oldCopyNotRemovable },
        { "the same without a swap in one step", false, Op::removeTree, 2, FileError::noPermission, Failure::oldCopyNotRemovable, 1, true },
        { "the uninstalled copy cannot be deleted: it goes back", true, Op::removeTree, 2, FileError::noPermission, Failure::oldCopyNotRemovable },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        Site site (formatVst3);
        // The swap in one step is made unavailable, so the moves are what is tested.
        FailingOps ops (c.op, c.from, c.error, c.times);
        struct NoExchange : FailingOps
        {
            using FailingOps::FailingOps;
            FileError exchange (const juce::File&, const juce::File&) override { return FileError::other; }
        } noExchange (c.op, c.from, c.error, c.times);
        platform::FileOps& chosen = c.op == Op::move || c.noExchange ? static_cast<platform::FileOps&> (noExchange) : ops;

        const auto outcome = c.uninstall ? site.installer (chosen).uninstall()
                                         : site.installer (chosen).install (payloadData (formatVst3), payloadSize (formatVst3));
        EXPECT_EQ (outcome.failure, c.expected) << outcome.describe();
        EXPECT_FALSE (outcome.describe().isEmpty());
        EXPECT_EQ (listTree (site.root), site.before);
    }
}

TEST (BundleInstaller, AnOldBundleThatCannotGoBackAtOnceIsRestoredByTheNextRun)
{
    Site site (formatVst3);
    struct NoExchange : FailingOps
    {
        using FailingOps::FailingOps;
        FileError exchange (const juce::File&, const juce::File&) override { return FileError::other; }
    } ops (Op::move, 2, FileError::inUse, 2);   // the new bundle's move, and the way back

    EXPECT_EQ (site.installer (ops).install (payloadData (formatVst3), payloadSize (formatVst3)).failure, Failure::fileInUse);
    EXPECT_TRUE (site.bundleNow().empty());

    // Any later run, in any process, puts it back before doing anything else.
    BundleInstaller nextRun (site.folder, "QuernfieldReverb3", bundleName (formatVst3));
    // Staging of this very process counts as abandoned once its run has returned.
    nextRun.cleanUpAbandonedStaging();
    EXPECT_EQ (listTree (site.root), site.before);
}

TEST (BundleInstaller, DamagedPayloadsAreNeverInstalled)
{
    struct Case { const char* name; std::function<juce::MemoryBlock()> make; };
    const Case cases[] = {
        { "a flipped byte in the binary's data", []
          {
              auto zip = payloadCopy (formatVst3);
              zip[zip.getSize() / 2] = (char) (zip[zip.getSize() / 2] ^ 0x40);
              return zip;
          } },
        { "cut in half", [] { auto zip = payloadCopy (formatVst3); zip.setSize (zip.getSize() / 2); return zip; } },
        { "a wrong CRC in the directory", []
          {
              auto zip = payloadCopy (formatVst3);
              const auto at = lastDirectoryEntry (zip) + 16;
              zip[at] = (char) (zip[at] ^ 1);
              return zip;
          } },
        { "a wrong size in the directory", []
          {
              auto zip = payloadCopy (formatVst3);
              const auto at = lastDirectoryEntry (zip) + 24;
              zip[at] = (char) (zip[at] + 1);
              return zip;
          } },
        { "not a zip at all", [] { return juce::MemoryBlock ("PK\3\4 nothing", 12); } },
        { "an entry climbing out with ..", [] { return zipWithEntries ({ "QuernfieldReverb3.vst3\\desktop.ini", "QuernfieldReverb3.vst3\\..\\..\\evil.txt" }); } },
        { "an absolute entry", [] { return zipWithEntries ({ "/tmp/kitwarden-evil.txt" }); } },
        { "a drive-qualified entry", [] { return zipWithEntries ({ "C:\\evil.txt" }); } },
        { "an entry outside the bundle", [] { return zipWithEntries ({ "QuernfieldReverb3.vst3\\ok", "Other.vst3\\evil.txt" }); } },
        { "an entry that climbs back out of the bundle", [] { return zipWithEntries ({ "QuernfieldReverb3.vst3\\a\\..\\..\\evil.txt" }); } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        Site site (formatVst3);
        const auto zip = c.make();
        const auto outcome = site.installer().install (zip.getData(), zip.getSize());
        EXPECT_EQ (outcome.failure, Failure::corruptedPayload);
        EXPECT_EQ (listTree (site.root), site.before);
        EXPECT_FALSE (juce::File ("/tmp/kitwarden-evil.txt").exists());
    }
}

TEST (BundleInstaller, UninstallRemovesTheBundleAndOnlyIt)
{
    for (auto f : { formatVst3, formatClap, formatAax })
    {
        SCOPED_TRACE (formatNames[f]);
        Site site (f);
        EXPECT_TRUE (site.installer().uninstall().succeeded());
        EXPECT_TRUE (site.bundleNow().empty());

        auto expected = site.before;
        for (auto it = expected.begin(); it != expected.end();)
            it = it->first.contains (bundleName (f)) ? expected.erase (it) : std::next (it);
        EXPECT_EQ (listTree (site.root), expected);

        // Again, with nothing there: still done, nothing changes.
        EXPECT_TRUE (site.installer().uninstall().succeeded());
        EXPECT_EQ (listTree (site.root), expected);
    }
}

TEST (BundleInstaller, OnlyAbandonedStagingOfThisProductIsCleanedUp)
{
    Site site (formatClap);
    const auto prefix = BundleInstaller::stagingPrefix ("QuernfieldReverb3");

    int deadPid = 4000000;
    while (platform::isProcessRunning (deadPid))
        ++deadPid;

    const auto abandoned = site.folder.getChildFile (prefix + juce::String (deadPid));
    abandoned.getChildFile ("new/QuernfieldReverb3.clap").create();
    const juce::StringArray kept { prefix + juce::String (getppid()),         // a run still going
                                   prefix + "12ab",                            // not our pattern
                                   ".OtherProduct.kitwarden-staging-" + juce::String (deadPid),
                                   prefix.substring (1) + juce::String (deadPid),
                                   prefix + juce::String (deadPid) + ".bak" };
    for (auto& name : kept)
        site.folder.getChildFile (name).getChildFile ("inside").create();

    site.installer().cleanUpAbandonedStaging();

    EXPECT_FALSE (abandoned.exists());
    for (auto& name : kept)
        EXPECT_TRUE (site.folder.getChildFile (name).getChildFile ("inside").existsAsFile()) << name;
}

TEST (BundleInstaller, ARealFullDiskFailsTheInstallAndKeepsTheOldBundle)
{
    TempFolder temp;
    const auto mountPoint = temp.get().getChildFile ("small");
    auto mount = ScopedMount::tmpfs (mountPoint, "size=4m");
    if (mount == nullptr)
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";

    Site site (formatVst3, mountPoint);
    const auto outcome = site.installer().install (payloadData (formatVst3), payloadSize (formatVst3));
    EXPECT_EQ (outcome.failure, Failure::diskFull) << outcome.describe();
    EXPECT_EQ (listTree (site.root), site.before);
}

TEST (BundleInstaller, AReadOnlyFolderFailsInstallAndUninstallAndKeepsTheOldBundle)
{
    TempFolder temp;
    Site site (formatAax, temp.get().getChildFile ("ro"));
    auto mount = ScopedMount::readOnly (site.root);
    if (mount == nullptr)
        GTEST_SKIP() << "cannot make a read-only bind mount here (needs root)";

    EXPECT_EQ (site.installer().install (payloadData (formatAax), payloadSize (formatAax)).failure, Failure::noPermission);
    EXPECT_EQ (site.installer().uninstall().failure, Failure::noPermission);
    EXPECT_EQ (listTree (site.root), site.before);
}

TEST (BundleInstaller, AnUnprivilegedUserGetsNoPermissionAndChangesNothing)
{
    if (! runningAsRoot() || access ("/usr/bin/setpriv", X_OK) != 0)
        GTEST_SKIP() << "needs root and setpriv to run the install as another user";

    TempFolder temp;
    temp.get().setExecutePermission (true);
    Site site (formatClap, temp.get().getChildFile ("owned-by-root"));
    ::chmod (temp.get().getFullPathName().toRawUTF8(), 0755);

    for (auto* command : { "install", "uninstall" })
    {
        SCOPED_TRACE (command);
        const auto pid = spawnTool ({ "/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                                      KW_INSTALL_TOOL, command, site.folder.getFullPathName().toStdString(), "1" });
        ASSERT_GT (pid, 0);
        const auto status = waitFor (pid);
        ASSERT_TRUE (WIFEXITED (status));
        if (WEXITSTATUS (status) == 126 || WEXITSTATUS (status) == 127)
            GTEST_SKIP() << "the test tool cannot be run as an unprivileged user from this build folder";
        EXPECT_EQ (WEXITSTATUS (status), 10 + (int) Failure::noPermission);
        EXPECT_EQ (listTree (site.root), site.before);
    }
}

TEST (BundleInstaller, APlantedStagingLinkIsRemovedAsALinkAndNeverEntered)
{
    int deadPid = 4000000;
    while (platform::isProcessRunning (deadPid))
        ++deadPid;

    struct Case { const char* name; bool uninstall; int pid; };
    const Case cases[] = {
        { "install, a dead run's name", false, deadPid },
        { "uninstall, a dead run's name", true, deadPid },
        { "install, this very process's name", false, (int) getpid() },
        { "uninstall, this very process's name", true, (int) getpid() },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        TempFolder temp;
        const auto outside = temp.get().getChildFile ("outside");
        putOldBundle (outside, formatVst3);
        outside.getChildFile ("notes.txt").replaceWithText ("not ours");
        const auto outsideBefore = listTree (outside);

        const auto folder = temp.get().getChildFile ("VST3");
        folder.createDirectory();
        const auto link = folder.getChildFile (BundleInstaller::stagingPrefix ("QuernfieldReverb3") + juce::String (c.pid));
        ASSERT_TRUE (outside.createSymbolicLink (link, true));

        BundleInstaller installer (folder, "QuernfieldReverb3", bundleName (formatVst3));
        const auto outcome = c.uninstall ? installer.uninstall() : installer.install (payloadData (formatVst3), payloadSize (formatVst3));

        EXPECT_TRUE (outcome.succeeded()) << outcome.describe();
        EXPECT_EQ (listTree (outside), outsideBefore);
        EXPECT_FALSE (link.existsAsFile() || link.isDirectory() || link.isSymbolicLink());
        EXPECT_EQ (folder.getChildFile (bundleName (formatVst3)).isDirectory(), ! c.uninstall);
    }
}

TEST (BundleInstaller, ABundleAUserCannotFullyDeleteStaysWholeAndNoCopyIsLeftBeside)
{
    if (! runningAsRoot() || access ("/usr/bin/setpriv", X_OK) != 0)
        GTEST_SKIP() << "needs root and setpriv to run the install as another user";

    for (auto* command : { "install", "uninstall" })
    {
        SCOPED_TRACE (command);
        TempFolder temp;
        ::chmod (temp.get().getFullPathName().toRawUTF8(), 0755);
        Site site (formatVst3, temp.get().getChildFile ("owned-by-nobody"));

        // The user owns it all, but one folder inside the bundle is read-only.
        for (const auto& [path, what] : listTree (site.root))
            ::lchown (site.root.getChildFile (path).getFullPathName().toRawUTF8(), 65534, 65534);
        ::chown (site.root.getFullPathName().toRawUTF8(), 65534, 65534);
        const auto locked = site.folder.getChildFile (bundleName (formatVst3)).getChildFile ("Contents/x86_64-win");
        ASSERT_EQ (::chmod (locked.getFullPathName().toRawUTF8(), 0555), 0);
        const auto before = listTree (site.root);

        const auto pid = spawnTool ({ "/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                                      KW_INSTALL_TOOL, command, site.folder.getFullPathName().toStdString(), "0" });
        ASSERT_GT (pid, 0);
        const auto status = waitFor (pid);
        ::chmod (locked.getFullPathName().toRawUTF8(), 0755);
        ASSERT_TRUE (WIFEXITED (status));
        if (WEXITSTATUS (status) == 126 || WEXITSTATUS (status) == 127)
            GTEST_SKIP() << "the test tool cannot be run as an unprivileged user from this build folder";

        EXPECT_EQ (WEXITSTATUS (status), 10 + (int) Failure::oldCopyNotRemovable);
        EXPECT_EQ (listTree (site.root), before);

        // No second copy beside the bundle that a host scanning the folder could load.
        for (const auto& [path, what] : listTree (site.folder))
        {
            EXPECT_TRUE (path.startsWith (bundleName (formatVst3)) || ! path.contains ("QuernfieldReverb3")) << path;
        }
    }
}

TEST (BundleInstaller, AKilledInstallLeavesTheOldOrTheNewBundleAndTheNextRunCleansUp)
{
    const auto oldListing = [] { Site s (formatVst3); return s.bundleNow(); }();
    const auto newListing = referenceBundleListing (formatVst3);
    int sawOld = 0, sawNew = 0;

    // Fine steps through a typical run, then longer ones so a slow machine still sees it finish.
    std::vector<int> delays;
    for (int d = 0; d <= 60; d += 3)
        delays.push_back (d);
    for (int d : { 90, 150, 250, 400 })
        delays.push_back (d);

    for (int delayMs : delays)
    {
        SCOPED_TRACE ("killed after " + juce::String (delayMs) + " ms");
        Site site (formatVst3);
        const auto pid = spawnTool ({ KW_INSTALL_TOOL, "install", site.folder.getFullPathName().toStdString(), "0" });
        ASSERT_GT (pid, 0);
        std::this_thread::sleep_for (std::chrono::milliseconds (delayMs));
        ::kill (pid, SIGKILL);
        waitFor (pid);

        const auto bundle = site.bundleNow();
        const bool isOld = bundle == oldListing, isNew = bundle == newListing;
        EXPECT_TRUE (isOld || isNew) << "a partial bundle of " << bundle.size() << " entries";
        sawOld += isOld ? 1 : 0;
        sawNew += isNew ? 1 : 0;

        // The next run, in another process, removes what the killed one left.
        site.installer().cleanUpAbandonedStaging();
        auto expected = site.before;
        for (auto it = expected.begin(); it != expected.end();)
            it = it->first.contains (bundleName (formatVst3)) ? expected.erase (it) : std::next (it);
        for (auto& [path, what] : bundle)
            expected[site.folder.getChildFile (path).getRelativePathFrom (site.root)] = what;
        EXPECT_EQ (listTree (site.root), expected);
    }

    // The delays must have caught the run both before and after it finished.
    EXPECT_GT (sawOld, 0);
    EXPECT_GT (sawNew, 0);
}
