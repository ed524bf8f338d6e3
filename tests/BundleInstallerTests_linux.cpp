// Linux edition: real failures that need root (a full tmpfs, a read-only bind mount, another
// user through setpriv) and planted symbolic links.
#include "install/BundleInstaller.h"
#include "support/InstallSite.h"
#include "support/ReferenceBundles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <linux/fs.h>
#include <sys/ioctl.h>

#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace testing_support;
using Failure = InstallOutcome::Failure;

namespace
{
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


namespace
{
/** Sets or clears the immutable or append-only flag; false where the file system or the user cannot. */
bool markAgainstDeletion (const juce::File& file, int flag, bool on)
{
    const int fd = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK);

    if (fd < 0)
        return false;

    int flags = 0;
    bool ok = ::ioctl (fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | flag) : (flags & ~flag);
    ok = ok && ::ioctl (fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close (fd);
    return ok;
}
} // namespace

// Not even root can delete such a file: the run is refused before anything moves.
TEST (BundleInstaller, AnImmutableOrAppendOnlyFileInTheOldCopyIsFoundBeforeTheSwap)
{
    struct Case { const char* name; int flag; const char* file; bool uninstall; };
    const Case cases[] = {
        { "immutable binary, install", FS_IMMUTABLE_FL, "Contents/x86_64-win/QuernfieldReverb3.vst3", false },
        { "immutable binary, uninstall", FS_IMMUTABLE_FL, "Contents/x86_64-win/QuernfieldReverb3.vst3", true },
        { "append-only folder, install", FS_APPEND_FL, "Contents/x86_64-win", false },
        { "immutable folder, uninstall", FS_IMMUTABLE_FL, "Contents", true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        Site site (formatVst3);
        const auto marked = site.folder.getChildFile (bundleName (formatVst3)).getChildFile (c.file);

        if (! markAgainstDeletion (marked, c.flag, true))
            GTEST_SKIP() << "this file system or user cannot mark files against deletion";

        const auto outcome = c.uninstall ? site.installer().uninstall()
                                         : site.installer().install (payloadData (formatVst3), payloadSize (formatVst3));
        const auto after = listTree (site.root);
        markAgainstDeletion (marked, c.flag, false);

        EXPECT_EQ (outcome.failure, Failure::oldCopyLocked) << outcome.describe();
        EXPECT_EQ (after, site.before);
    }
}
