#include "install/BundleInstaller.h"
#include "support/InstallSite.h"
#include "support/ReferenceBundles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <zlib.h>

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

} // namespace

TEST (InstallOutcome, AFileInUseNamesTheProgramsHoldingItWhenTheSystemCanSay)
{
    struct Case { juce::StringArray heldBy; const char* expected; };
    const Case cases[] = {
        { {}, "a file is in use. Close your audio software and run the installer again." },
        { { "Host.exe" }, "a file is in use by Host.exe: close it and run the installer again." },
        { { "Host.exe", "Scanner.exe" }, "a file is in use by Host.exe, Scanner.exe: close it and run the installer again." },
    };

    for (const auto& c : cases)
    {
        auto outcome = InstallOutcome::failed (Failure::fileInUse);
        outcome.heldBy = c.heldBy;
        EXPECT_EQ (outcome.describe(), c.expected);
    }

    // Only an in-use failure names programs.
    auto other = InstallOutcome::failed (Failure::diskFull);
    other.heldBy = { "Host.exe" };
    EXPECT_FALSE (other.describe().contains ("Host.exe"));
}

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

// The removal after the swap fails: the place keeps the whole new copy (or, after an uninstall,
// nothing), and the old one's remains wait in staging under no plug-in's name for the next run.
TEST (BundleInstaller, WhatCannotBeDeletedAfterTheSwapStaysInStagingNeverInPlace)
{
    struct Case { const char* name; bool uninstall; bool noExchange; };
    const Case cases[] = {
        { "install, swapped in one step", false, false },
        { "install, moved aside first", false, true },
        { "uninstall", true, false },
    };

    for (const auto& c : cases)
    {
        for (auto f : { formatVst3, formatClap, formatAax })
        {
            SCOPED_TRACE (juce::String (c.name) + ", " + formatNames[f]);
            Site site (f);
            // The staging folder's own clean-up first, then the removal after the swap.
            struct Ops : FailingOps
            {
                Ops (bool swapInOneStep) : FailingOps (Op::removeTree, 2, FileError::noPermission), canSwap (swapInOneStep) {}
                FileError exchange (const juce::File& a, const juce::File& b) override
                {
                    return canSwap ? FailingOps::exchange (a, b) : FileError::other;
                }
                bool canSwap;
            } ops (! c.noExchange);

            const auto outcome = c.uninstall ? site.installer (ops).uninstall()
                                             : site.installer (ops).install (payloadData (f), payloadSize (f));
            EXPECT_EQ (outcome.failure, Failure::leftBehind);
            EXPECT_TRUE (outcome.didItsWork());
            EXPECT_TRUE (outcome.describe().startsWith (c.uninstall ? "removed, but" : "installed, but")) << outcome.describe();
            EXPECT_TRUE (outcome.describe().contains (site.installer().getStagingFolder().getFileName())) << outcome.describe();

            if (c.uninstall)
                EXPECT_TRUE (site.bundleNow().empty());
            else
                EXPECT_EQ (site.bundleNow(), referenceBundleListing (f));

            // Nothing outside the bundle's place bears a plug-in's extension.
            const auto staging = relativePath (site.installer().getStagingFolder(), site.folder);
            bool stagingHoldsRemains = false;

            for (const auto& [path, what] : listTree (site.folder))
            {
                if (! path.startsWith (staging + "/"))
                    continue;

                stagingHoldsRemains = true;
                const auto name = path.fromLastOccurrenceOf ("/", false, false);

                for (auto* extension : { ".vst3", ".clap", ".aaxplugin" })
                    EXPECT_FALSE (name.endsWithIgnoreCase (extension)) << path;
            }

            EXPECT_TRUE (stagingHoldsRemains);

            // The next run clears them and keeps the place as it is.
            const auto placeNow = site.bundleNow();
            site.installer().cleanUpAbandonedStaging();
            EXPECT_FALSE (site.installer().getStagingFolder().exists());
            EXPECT_EQ (site.bundleNow(), placeNow);
        }
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
    const juce::StringArray kept { prefix + juce::String (anotherRunningProcessId()), // a run still going
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

TEST (BundleInstaller, AKilledInstallLeavesTheOldOrTheNewBundleAndTheNextRunCleansUp)
{
    const auto oldListing = [] { Site s (formatVst3); return s.bundleNow(); }();
    const auto newListing = referenceBundleListing (formatVst3);
    int sawOld = 0, sawNew = 0;

    // Fine steps through a typical run, then longer ones until the run is seen finished, so a
    // slow machine (or Wine, where a process takes a while to start) still sees both ends.
    std::vector<int> delays;
    for (int d = 0; d <= 60; d += 3)
        delays.push_back (d);
    for (int d : { 90, 150, 250, 400 })
        delays.push_back (d);

    for (size_t i = 0; i < delays.size(); ++i)
    {
        const auto delayMs = delays[i];
        SCOPED_TRACE ("killed after " + juce::String (delayMs) + " ms");
        Site site (formatVst3);
        juce::ChildProcess tool;
        ASSERT_TRUE (tool.start (juce::StringArray (KW_INSTALL_TOOL, "install", site.folder.getFullPathName(), "0"), 0));
        std::this_thread::sleep_for (std::chrono::milliseconds (delayMs));
        tool.kill();
        tool.waitForProcessToFinish (10000);

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
            expected[relativePath (site.folder.getChildFile (path), site.root)] = what;
        EXPECT_EQ (listTree (site.root), expected);

        if (i + 1 == delays.size() && sawNew == 0 && delayMs < 12800)
            delays.push_back (delayMs * 2);
    }

    // The delays must have caught the run both before and after it finished.
    EXPECT_GT (sawOld, 0);
    EXPECT_GT (sawNew, 0);
}
