#include "main_view/MainComponent.h"
#include "support/ReferenceBundles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace testing_support;

namespace
{
void click (MainComponent& view, const juce::String& name)
{
    view.buttonClicked (buttonNamed (view, name));
}

void holdShift (MainComponent& view, bool held)
{
    view.modifierKeysChanged (held ? juce::ModifierKeys (juce::ModifierKeys::shiftModifier) : juce::ModifierKeys());
}

/** The bundle's own listing, paths relative to the format folder. */
std::map<juce::String, juce::String> bundleListing (const juce::File& formatFolder, FormatIndex f)
{
    return bundlePart (listTree (formatFolder), bundleName (f));
}

enum class Disk { untouched, shipped, absent };
} // namespace

TEST (InstallRun, InstallsAndUninstallsTheSelectedFormats)
{
    struct Case
    {
        const char* name;
        std::function<void (const ScopedPrefix&)> arrange;       // before the view exists
        std::function<void (MainComponent&)> choose;             // clicks before INSTALL
        bool shift;
        std::array<Disk, 3> disk;
        std::array<bool, 3> processed;
    };

    const Case cases[] = {
        { "VST3 and AAX over bundles with extra files; CLAP left alone",
          [] (const ScopedPrefix& p)
          {
              putOldBundle (p.defaultFolder (formatVst3), formatVst3);
              putOldBundle (p.defaultFolder (formatClap), formatClap);
              putOldBundle (p.defaultFolder (formatAax), formatAax);
          },
          [] (MainComponent& v) { click (v, "CLAP"); },   // all three start selected
          false, { Disk::shipped, Disk::untouched, Disk::shipped }, { true, false, true } },

        { "CLAP uninstalled with Shift: the file goes, nothing is written",
          [] (const ScopedPrefix& p) { putOldBundle (p.defaultFolder (formatClap), formatClap); },
          [] (MainComponent&) {}, true, { Disk::untouched, Disk::absent, Disk::untouched }, { false, true, false } },

        { "uninstalling what is not installed changes nothing",
          [] (const ScopedPrefix&) {}, [] (MainComponent& v) { click (v, "SELECT_ALL"); },
          true, { Disk::untouched, Disk::untouched, Disk::untouched }, { true, true, true } },

        { "installing into format folders that do not exist creates them",
          [] (const ScopedPrefix&) {}, [] (MainComponent& v) { click (v, "SELECT_ALL"); click (v, "SELECT_ALL"); },
          false, { Disk::shipped, Disk::shipped, Disk::shipped }, { true, true, true } },

        { "clicking a format twice leaves it as it was",
          [] (const ScopedPrefix&) {}, [] (MainComponent& v) { click (v, "AAX"); click (v, "CLAP"); click (v, "CLAP"); },
          false, { Disk::untouched, Disk::untouched, Disk::shipped }, { false, false, true } },

    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ScopedPrefix prefix;
        c.arrange (prefix);
        MainComponent view;
        const auto before = listTree (prefix.root());

        c.choose (view);
        holdShift (view, c.shift);
        EXPECT_EQ (view.isShiftHeld(), c.shift);
        click (view, "INSTALL");

        EXPECT_TRUE (view.isInstallDone());
        EXPECT_EQ (view.wasUninstallRun(), c.shift);

        const auto after = listTree (prefix.root());
        std::set<juce::String> paths;
        for (auto& [path, what] : before) paths.insert (path);
        for (auto& [path, what] : after) paths.insert (path);

        for (auto f : { formatVst3, formatClap, formatAax })
        {
            SCOPED_TRACE (formatNames[f]);
            EXPECT_FALSE (view.isFormatSelected (f));
            EXPECT_EQ (view.getRunOutcome (f).has_value(), c.processed[f]);
            if (c.processed[f])
            {
                EXPECT_TRUE (view.getRunOutcome (f)->succeeded()) << view.getRunOutcome (f)->describe();
            }

            const auto folder = prefix.defaultFolder (f);
            const auto bundlePrefix = testing_support::relativePath (folder.getChildFile (bundleName (f)), prefix.root());

            if (c.disk[f] == Disk::shipped)
            {
                EXPECT_EQ (bundleListing (folder, f), referenceBundleListing (f));
                // Files carry the entries' time stamps.
                EXPECT_EQ (view.versionFile (f).getLastModificationTime(), juce::Time (2026, 4, 28, 12, 0, 0, 0, true));
                EXPECT_EQ (view.scanFormat (f).installedVersion, "3.2.1.0");
            }
            else if (c.disk[f] == Disk::absent)
            {
                EXPECT_FALSE (view.bundleFile (f).exists());
            }

            // Everything else below the prefix is as it was, staging included: none is left.
            for (auto& path : paths)
            {
                const bool inBundle = path == bundlePrefix || path.startsWith (bundlePrefix + "/");
                const bool isItsFolder = bundlePrefix.startsWith (path + "/");
                if ((inBundle && c.disk[f] != Disk::untouched) || isItsFolder)
                    continue;
                if (path.startsWith (testing_support::relativePath (folder, prefix.root()) + "/"))
                {
                    auto b = before.find (path);
                    auto a = after.find (path);
                    EXPECT_TRUE (b != before.end() && a != after.end() && b->second == a->second) << path;
                }
            }
        }

        for (auto& [path, what] : before)
        {
            if (after.count (path) == 0)
            {
                EXPECT_TRUE (path.contains ("QuernfieldReverb3.")) << "removed: " << path;
            }
        }

        for (auto* name : { "VST3", "CLAP", "AAX", "SELECT_ALL", "INSTALL" })
            EXPECT_FALSE (buttonNamed (view, name)->isVisible()) << name;
        for (auto* name : { "EULA", "MANUAL", "WEBSITE", "SUPPORT", "CHANGES" })
            EXPECT_TRUE (buttonNamed (view, name)->isVisible()) << name;
    }
}

TEST (InstallRun, WithNothingSelectedAClickStartsNoRunAndSaysWhatToDo)
{
    for (const bool shift : { false, true })
    {
        SCOPED_TRACE (shift ? "shift" : "no shift");
        ScopedPrefix prefix;
        putOldBundle (prefix.defaultFolder (formatVst3), formatVst3);
        MainComponent view;
        click (view, "VST3");   // the one selected format, deselected again
        const auto before = listTree (prefix.root());

        holdShift (view, shift);
        click (view, "INSTALL");

        EXPECT_FALSE (view.isInstallDone());
        EXPECT_EQ (view.getHelpLabel().getText(), shift ? "Select at least one format to uninstall."
                                                        : "Select at least one format to install.");
        for (auto f : { formatVst3, formatClap, formatAax })
            EXPECT_FALSE (view.getRunOutcome (f).has_value());
        for (auto* name : { "VST3", "CLAP", "AAX", "SELECT_ALL", "INSTALL" })
            EXPECT_TRUE (buttonNamed (view, name)->isVisible()) << name;
        EXPECT_EQ (listTree (prefix.root()), before);

        // Selecting then runs as ever.
        click (view, "CLAP");
        click (view, "INSTALL");
        EXPECT_TRUE (view.isInstallDone());
    }
}

TEST (InstallRun, AFormatWithoutAFolderIsSkippedAndReportedAndNothingElseIsTouched)
{
    ScopedPrefix prefix;
    prefix.settingsFile().replaceWithText ("<s VST3_Path=\"C:\\Plugins\\VST3\" CLAP_Path=\"\" AAX_Path=\"relative\\AAX\"/>");
    MainComponent view;

    click (view, "SELECT_ALL");
    click (view, "INSTALL");

    ASSERT_TRUE (view.getRunOutcome (formatVst3).has_value());
    EXPECT_TRUE (view.getRunOutcome (formatVst3)->succeeded());
    for (auto f : { formatClap, formatAax })
    {
        ASSERT_TRUE (view.getRunOutcome (f).has_value());
        EXPECT_EQ (view.getRunOutcome (f)->failure, InstallOutcome::Failure::noInstallFolder);
    }

    EXPECT_FALSE (juce::File ("/QuernfieldReverb3.clap").exists());
    EXPECT_FALSE (juce::File::getCurrentWorkingDirectory().getChildFile ("QuernfieldReverb3.aaxplugin").exists());
}

TEST (InstallRun, ShiftPressAndReleaseAreTracked)
{
    ScopedPrefix prefix;
    MainComponent view;

    holdShift (view, true);
    EXPECT_TRUE (view.isShiftHeld());
    view.modifierKeysChanged (juce::ModifierKeys (juce::ModifierKeys::shiftModifier | juce::ModifierKeys::ctrlModifier));
    EXPECT_TRUE (view.isShiftHeld());
    holdShift (view, false);
    EXPECT_FALSE (view.isShiftHeld());
}
