#include "app/fh_installerApplication.h"
#include "look/Palette.h"
#include "main_view/MainComponent.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#if ! JUCE_WINDOWS
 #include <unistd.h>
#endif

using testing_support::ScopedPrefix;

namespace
{
juce::File defaultBundle (const ScopedPrefix& p, FormatIndex f)
{
    return p.defaultFolder (f).getChildFile ("QuernfieldReverb3" + formatExtensions[f]);
}

std::array<bool, 3> selection (const MainComponent& view)
{
    return { view.isFormatSelected (formatVst3), view.isFormatSelected (formatClap), view.isFormatSelected (formatAax) };
}
} // namespace

TEST (MainComponentState, ConstructionBuildsTheViewInItsInitialState)
{
    ScopedPrefix prefix;
    MainComponent view;

    EXPECT_EQ (view.getWidth(), 600);
    EXPECT_EQ (view.getHeight(), 600);
    EXPECT_FLOAT_EQ (view.getUnit(), 6.0f);
    EXPECT_EQ (view.getHelpLabel().getText(), "1.2.0");
    EXPECT_EQ (view.getHelpLabel().findColour (juce::Label::textColourId), colour_grey.withAlpha (0.5f));
    EXPECT_EQ (view.getProductName(), "QuernfieldReverb3");
    EXPECT_EQ (view.getProductVersion(), "3.2.1");
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &view.getLookAndFeel());

    const juce::StringArray expectedButtons { "EULA", "MANUAL", "WEBSITE", "SUPPORT", "CHANGES",
                                              "VST3", "CLAP", "AAX", "INSTALL", "SELECT_ALL" };
    juce::StringArray buttons;
    for (auto* child : view.getChildren())
    {
        if (auto* button = dynamic_cast<juce::TextButton*> (child))
        {
            buttons.add (button->getName());
            EXPECT_TRUE (button->isVisible());
            EXPECT_TRUE (button->isEnabled());
            EXPECT_EQ (button->getAlpha(), 0.0f);
            EXPECT_TRUE (button->getButtonText().isEmpty());
        }
    }
    EXPECT_EQ (buttons, expectedButtons);

    for (auto f : { formatVst3, formatClap, formatAax })
        EXPECT_EQ (view.getFormatFolder (f), prefix.defaultFolder (f));

    EXPECT_EQ (view.getSettingsFolder(), prefix.settingsFolder());
    EXPECT_TRUE (prefix.settingsFile().existsAsFile());
}

TEST (MainComponentState, FormatsWhoseBundleExistsStartSelected)
{
    struct Case
    {
        const char* name;
        std::function<void (const ScopedPrefix&)> arrange;
        std::array<bool, 3> selected;
    };

    const Case cases[] = {
        { "no bundle anywhere", [] (const ScopedPrefix&) {}, { false, false, false } },
        { "all three present",
          [] (const ScopedPrefix& p)
          {
              defaultBundle (p, formatVst3).getChildFile ("Contents").createDirectory();
              defaultBundle (p, formatClap).getParentDirectory().createDirectory();
              defaultBundle (p, formatClap).replaceWithText ("x");
              defaultBundle (p, formatAax).createDirectory();
          },
          { true, true, true } },
        { "an empty folder named like the VST3 bundle",
          [] (const ScopedPrefix& p) { defaultBundle (p, formatVst3).createDirectory(); }, { true, false, false } },
        { "a plain file named like the AAX bundle",
          [] (const ScopedPrefix& p)
          {
              p.defaultFolder (formatAax).createDirectory();
              defaultBundle (p, formatAax).replaceWithText ("x");
          },
          { false, false, true } },
        { "a bundle in the default folder while the settings point elsewhere",
          [] (const ScopedPrefix& p)
          {
              defaultBundle (p, formatVst3).createDirectory();
              p.driveC().getChildFile ("Other/QuernfieldReverb3.clap").create();
              p.settingsFile().replaceWithText ("<s VST3_Path=\"C:\\Other\" CLAP_Path=\"C:\\Other\" AAX_Path=\"C:\\Other\"/>");
          },
          { false, true, false } },
        { "a format the settings leave without a folder never starts selected",
          [] (const ScopedPrefix& p)
          {
              defaultBundle (p, formatAax).createDirectory();
              p.settingsFile().replaceWithText ("<s VST3_Path=\"C:\\A\" CLAP_Path=\"C:\\A\"/>");
          },
          { false, false, false } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ScopedPrefix prefix;
        c.arrange (prefix);
        MainComponent view;
        EXPECT_EQ (selection (view), c.selected);
    }
}

TEST (MainComponentState, AFormatWithoutAFolderHasNoBundlePath)
{
    ScopedPrefix prefix;
    prefix.settingsFile().replaceWithText ("<s VST3_Path=\"\" CLAP_Path=\"C:\\A\" AAX_Path=\"relative\"/>");
    MainComponent view;

    EXPECT_EQ (view.bundleFile (formatVst3), juce::File());
    EXPECT_EQ (view.bundleFile (formatAax), juce::File());
    EXPECT_EQ (view.bundleFile (formatClap), prefix.driveC().getChildFile ("A/QuernfieldReverb3.clap"));
}

TEST (MainComponentState, WithoutTheCommonDataFolderNothingIsWrittenAndDefaultsServe)
{
    ScopedPrefix prefix;
    prefix.setFolders ({ juce::File(), prefix.tempDir(), prefix.driveC() });
    const auto before = testing_support::listTree (prefix.root());

    MainComponent view;

    EXPECT_EQ (view.getSettingsFolder(), juce::File());
    EXPECT_EQ (view.getFormatFolder (formatVst3), prefix.defaultFolder (formatVst3));
    EXPECT_EQ (testing_support::listTree (prefix.root()), before);
}

TEST (MainComponentState, WithoutDriveCNoFolderIsUsedAndTheRunSaysSo)
{
    ScopedPrefix prefix;
    prefix.setFolders ({ juce::File(), prefix.tempDir(), juce::File() });

    MainComponent view;

    for (auto format : allFormats)
    {
        SCOPED_TRACE (formatNames[format]);
        // Checked before any run: a folder here would lie at the top of the file system.
        ASSERT_EQ (view.getFormatFolder (format), juce::File());
        EXPECT_EQ (view.bundleFile (format), juce::File());
        EXPECT_FALSE (view.scanFormat (format).exists);
    }

    view.buttonClicked (testing_support::buttonNamed (view, "SELECT_ALL"));
    view.runInstall();

    for (auto format : allFormats)
    {
        ASSERT_TRUE (view.getRunOutcome (format).has_value());
        EXPECT_EQ (view.getRunOutcome (format)->failure, InstallOutcome::Failure::noSystemDrive);
        EXPECT_TRUE (view.getRunOutcome (format)->describe().startsWith ("drive C: was not found."));
    }
}

TEST (MainComponentState, DestructionRemovesALeftoverScriptFileButNotAFolder)
{
    {
        ScopedPrefix prefix;
        const auto script = prefix.tempDir().getChildFile ("script.sh");
        script.replaceWithText ("#!/bin/sh\n");
        const auto neighbour = prefix.tempDir().getChildFile ("script.sh.keep");
        neighbour.replaceWithText ("keep");

        std::make_unique<MainComponent>().reset();

        EXPECT_FALSE (script.exists());
        EXPECT_TRUE (neighbour.existsAsFile());
    }
    {
        ScopedPrefix prefix;
        const auto folder = prefix.tempDir().getChildFile ("script.sh");
        folder.getChildFile ("inside").create();

        std::make_unique<MainComponent>().reset();

        EXPECT_TRUE (folder.getChildFile ("inside").existsAsFile());
    }
   #if ! JUCE_WINDOWS // symbolic links and other users' files in a shared temporary folder
    {
        // A link of that name is not a file of ours: neither it nor what it points at goes.
        ScopedPrefix prefix;
        const auto target = prefix.root().getChildFile ("elsewhere.sh");
        target.replaceWithText ("someone's");
        const auto link = prefix.tempDir().getChildFile ("script.sh");
        target.createSymbolicLink (link, true);

        std::make_unique<MainComponent>().reset();

        EXPECT_TRUE (link.isSymbolicLink());
        EXPECT_TRUE (target.existsAsFile());
    }
    if (geteuid() == 0)
    {
        // In a shared temporary folder another user's script.sh is not ours to delete, root or not.
        ScopedPrefix prefix;
        const auto script = prefix.tempDir().getChildFile ("script.sh");
        script.replaceWithText ("#!/bin/sh\n");
        ASSERT_EQ (::chown (script.getFullPathName().toRawUTF8(), 65534, 65534), 0);

        std::make_unique<MainComponent>().reset();

        EXPECT_TRUE (script.existsAsFile());
    }
   #endif
}

TEST (MainComponentState, ABundleAKilledRunLeftAsideIsBackBeforeTheFirstPaint)
{
    int deadPid = 4000000;
    while (platform::isProcessRunning (deadPid))
        ++deadPid;

    // Where a run killed between its two moves leaves the old bundle, now and in earlier versions.
    for (const juce::String aside : { "old", "QuernfieldReverb3.vst3" })
    {
        SCOPED_TRACE (aside);
        ScopedPrefix prefix;
        const auto folder = prefix.defaultFolder (formatVst3);
        const auto staging = folder.getChildFile (".QuernfieldReverb3.kitwarden-staging-" + juce::String (deadPid));
        staging.getChildFile (aside).getChildFile ("Contents/x86_64-win/QuernfieldReverb3.vst3").create();

        MainComponent view;

        EXPECT_TRUE (defaultBundle (prefix, formatVst3).getChildFile ("Contents/x86_64-win/QuernfieldReverb3.vst3").existsAsFile());
        EXPECT_FALSE (staging.exists());
        EXPECT_TRUE (view.isFormatSelected (formatVst3));
        EXPECT_EQ (MainComponent::statusText (view.scanFormat (formatVst3)), "INSTALLED");
    }
}

TEST (MainWindowShape, TheWindowOpensAroundTheViewAndResizesOnlyToSquares)
{
    ScopedPrefix prefix;
    fh_installerApplication::MainWindow window ("fh_installer");

    EXPECT_EQ (window.getName(), "fh_installer");
    EXPECT_TRUE (window.isUsingNativeTitleBar());
    EXPECT_TRUE (window.isResizable());
    ASSERT_NE (dynamic_cast<MainComponent*> (window.getContentComponent()), nullptr);
    EXPECT_EQ (window.getContentComponent()->getBounds().withZeroOrigin(), juce::Rectangle<int> (600, 600));

    // What the frame or grip asks for is squared, within the window's limits. A Win32 window is
    // at most 32767 wide, its native frame included.
    const auto frameIfKnown = window.getPeer() != nullptr ? window.getPeer()->getFrameSizeIfPresent()
                                                          : juce::ComponentPeer::OptionalBorderSize();
    const auto frame = frameIfKnown ? *frameIfKnown : juce::BorderSize<int>();
    const int largest = (juce::SystemStats::getOperatingSystemType() & juce::SystemStats::Windows) != 0
                            ? std::min (32768, 32767 - frame.getLeftAndRight())
                            : 32768;
    struct Case { juce::Rectangle<int> asked; int expectedSide; };
    const Case cases[] = { { { 0, 0, 900, 700 }, 900 }, { { 0, 0, 60, 90 }, 128 }, { { 0, 0, 40000, 500 }, largest } };

    for (const auto& c : cases)
    {
        window.getConstrainer()->setBoundsForComponent (&window, c.asked, false, false, false, true);
        EXPECT_EQ (window.getWidth(), window.getHeight()) << c.asked.toString();
        EXPECT_EQ (window.getWidth(), c.expectedSide) << c.asked.toString();
        EXPECT_EQ (window.getContentComponent()->getWidth(), c.expectedSide);
    }
}

TEST (MainViewLayout, ChildrenSitAtTheirUnitPositionsAtAnyWidth)
{
    using R = juce::Rectangle<int>;
    struct Case
    {
        int width;
        int extrasX[5];
        R extras0, install, selectAll, vst3, clap, aax, help;
        float helpFontHeight;
    };

    const Case cases[] = {
        { 600, { 24, 93, 162, 231, 300 }, { 24, 441, 60, 60 }, { 516, 441, 60, 60 }, { 462, 132, 114, 30 },
          { 24, 180, 270, 60 }, { 306, 180, 270, 60 }, { 24, 252, 270, 60 }, { 24, 540, 552, 18 }, 18.0f },
        { 900, { 36, 140, 243, 346, 450 }, { 36, 662, 90, 90 }, { 774, 662, 90, 90 }, { 693, 198, 171, 45 },
          { 36, 270, 405, 90 }, { 459, 270, 405, 90 }, { 36, 378, 405, 90 }, { 36, 810, 828, 27 }, 27.0f },
        { 733, { 29, 114, 198, 282, 366 }, { 29, 539, 73, 73 }, { 630, 539, 73, 73 }, { 564, 161, 139, 37 },
          { 29, 220, 330, 73 }, { 374, 220, 330, 73 }, { 29, 308, 330, 73 }, { 29, 660, 674, 22 }, 21.99f },
        { 128, { 5, 20, 35, 49, 64 }, { 5, 94, 13, 13 }, { 110, 94, 13, 13 }, { 99, 28, 24, 6 },
          { 5, 38, 58, 13 }, { 65, 38, 58, 13 }, { 5, 54, 58, 13 }, { 5, 115, 118, 4 }, 3.84f },
    };

    ScopedPrefix prefix;
    MainComponent view;
    auto child = [&] (const char* name) { return testing_support::childNamed (view, name); };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.width);
        view.setSize (c.width, c.width);
        EXPECT_FLOAT_EQ (view.getUnit(), (float) c.width * 0.01f);

        const char* extras[] = { "EULA", "MANUAL", "WEBSITE", "SUPPORT", "CHANGES" };
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ (child (extras[k])->getBounds(), c.extras0.withX (c.extrasX[k])) << extras[k];

        EXPECT_EQ (child ("INSTALL")->getBounds(), c.install);
        EXPECT_EQ (child ("SELECT_ALL")->getBounds(), c.selectAll);
        EXPECT_EQ (child ("VST3")->getBounds(), c.vst3);
        EXPECT_EQ (child ("CLAP")->getBounds(), c.clap);
        EXPECT_EQ (child ("AAX")->getBounds(), c.aax);
        EXPECT_EQ (view.getHelpLabel().getBounds(), c.help);
        EXPECT_NEAR (view.getHelpLabel().getFont().getHeight(), c.helpFontHeight, 0.01f);
    }
}

TEST (MainViewAccessibility, InvisibleButtonsCarryTheirVisibleLabelsAndHelp)
{
    ScopedPrefix prefix;
    const auto vst3 = prefix.commonFiles().getChildFile ("VST3/QuernfieldReverb3.vst3");
    vst3.createDirectory();
    MainComponent view;

    struct Case { const char* name; const char* title; const char* description; };
    const Case cases[] = {
        { "EULA", "EULA", "Click to read End-User License Agreement" },
        { "CHANGES", "CHANGES", "Click to view release notes" },
        { "VST3", "VST3 INSTALLED", "Select to update VST3 to 3.2.1" },
        { "CLAP", "CLAP NOT INSTALLED", "Select to install CLAP" },
        { "INSTALL", "INSTALL", "Click to install selected. Shift-click to uninstall selected" },
        { "SELECT_ALL", "SELECT ALL", "" },
    };

    // What a screen reader is told, asked the way it asks: through the button's handler.
    auto told = [&] (const char* name)
    {
        auto handler = dynamic_cast<ClickArea&> (*testing_support::childNamed (view, name)).createAccessibilityHandler();
        return std::make_pair (handler->getTitle(), handler->getDescription());
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        EXPECT_EQ (told (c.name), std::make_pair (juce::String (c.title), juce::String (c.description)));
    }

    // The words follow the disk as it is when asked, with no paint in between.
    vst3.deleteRecursively();
    EXPECT_EQ (told ("VST3"), std::make_pair (juce::String ("VST3 NOT INSTALLED"), juce::String ("Select to install VST3")));
}
