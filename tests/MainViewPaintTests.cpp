#include "look/Palette.h"
#include "main_view/MainComponent.h"
#include "support/PeBuilder.h"
#include "support/ReferenceBundles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace testing_support;

namespace
{
juce::Image paintAt (MainComponent& view, int size)
{
    view.setSize (size, size);
    juce::Image image (juce::Image::ARGB, size, size, true, juce::SoftwareImageType());
    juce::Graphics g (image);
    view.paintEntireComponent (g, false);
    return image;
}

/** A palette colour as it shows over the view's background. */
juce::Colour shown (juce::Colour c, float alpha = 1.0f)
{
    return colour_black.overlaidWith (c.withAlpha (alpha));
}

::testing::AssertionResult near (juce::Colour actual, juce::Colour expected)
{
    auto d = [] (juce::uint8 a, juce::uint8 b) { return std::abs ((int) a - (int) b); };
    if (d (actual.getRed(), expected.getRed()) <= 2 && d (actual.getGreen(), expected.getGreen()) <= 2
        && d (actual.getBlue(), expected.getBlue()) <= 2)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual.toDisplayString (true) << " is not " << expected.toDisplayString (true);
}

struct Probe
{
    const char* what;
    float x, y;           // in units, from the left/top; negative: measured from the right/bottom edge
    juce::Colour expected;
};

juce::Colour pixelAt (const juce::Image& image, float unit, float x, float y)
{
    const auto px = x < 0 ? (float) image.getWidth() + x * unit : x * unit;
    const auto py = y < 0 ? (float) image.getHeight() + y * unit : y * unit;
    return image.getPixelAt ((int) px, (int) py);
}

void checkProbes (const juce::Image& image, float unit, std::initializer_list<Probe> probes)
{
    for (const auto& p : probes)
        EXPECT_TRUE (near (pixelAt (image, unit, p.x, p.y), p.expected)) << p.what << " at " << image.getWidth();
}

bool anyPixel (const juce::Image& image, juce::Rectangle<int> area, std::function<bool (juce::Colour)> test)
{
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (test (image.getPixelAt (x, y)))
                return true;
    return false;
}

int differingPixels (const juce::Image& a, const juce::Image& b, juce::Rectangle<int> area)
{
    int n = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            n += a.getPixelAt (x, y) != b.getPixelAt (x, y) ? 1 : 0;
    return n;
}

void click (MainComponent& view, const juce::String& name)
{
    view.buttonClicked (buttonNamed (view, name));
}

/** Pictures a reader of the test run can look at. */
void saveArtefact (const juce::Image& image, const juce::String& name)
{
    const auto folder = juce::File (KW_ARTEFACT_DIR);
    folder.createDirectory();
    juce::FileOutputStream out (folder.getChildFile (name));
    if (out.openedOk())
    {
        out.setPosition (0);
        out.truncate();
        juce::PNGImageFormat().writeImageToStream (image, out);
    }
}

} // namespace

TEST (MainViewPaint, FrameAndIdleControlsAtBothSizes)
{
    ScopedPrefix prefix;
    MainComponent view;

    for (int size : { 600, 900 })
    {
        const auto image = paintAt (view, size);
        const auto u = view.getUnit();
        checkProbes (image, u, {
            { "blue strip", 50.0f, 0.5f, colour_blue },
            { "below the strip", 50.0f, 1.5f, colour_black },
            { "bottom-right dot", -1.5f, -1.5f, shown (colour_grey, 0.5f) },
            { "dot above it", -1.5f, -3.5f, shown (colour_grey, 0.5f) },
            { "dot left of it", -3.5f, -1.5f, shown (colour_grey, 0.5f) },
            { "no fourth dot", -3.5f, -3.5f, colour_black },
            { "FORMATS rule", 50.0f, 27.6f, colour_grey },
            { "EXTRAS rule", 50.0f, 71.6f, colour_grey },
            { "idle EULA box", 5.0f, 78.5f, shown (colour_grey, 0.5f) },
            { "idle INSTALL box", 86.75f, 78.5f, shown (colour_grey, 0.5f) },
            { "SELECT ALL box", 78.0f, 24.5f, shown (colour_grey, 0.1f) },
            { "VST3 row, not installed", 14.5f, 35.0f, shown (colour_grey, 0.35f) },
            { "CLAP row, not installed", 61.5f, 35.0f, shown (colour_grey, 0.35f) },
            { "AAX row, not installed", 14.5f, 47.0f, shown (colour_grey, 0.35f) },
            { "no fourth row", 61.5f, 47.0f, colour_black },
        });
    }
}

TEST (MainViewPaint, RowsShowTheInstalledStateAndTheSelection)
{
    ScopedPrefix prefix;
    putBinaryWithVersion (prefix.defaultFolder (formatVst3).getChildFile ("QuernfieldReverb3.vst3/Contents/x86_64-win/QuernfieldReverb3.vst3"), 2, 1);
    putBinaryWithVersion (prefix.defaultFolder (formatClap).getChildFile ("QuernfieldReverb3.clap"), 1, 0);
    MainComponent view;
    click (view, "AAX");

    const auto image = paintAt (view, 600);
    saveArtefact (image, "paint-rows.png");
    checkProbes (image, 6.0f, {
        { "VST3 current: blue", 14.5f, 35.0f, shown (colour_blue, 0.9f) },
        { "CLAP older: orange", 61.5f, 35.0f, shown (colour_orange, 0.9f) },
        { "AAX absent: grey", 14.5f, 47.0f, shown (colour_grey, 0.35f) },
        { "VST3 selected (present at start): yellow edge", 4.0f, 35.0f, colour_yellow },
        { "CLAP selected: yellow edge", 51.0f, 35.0f, colour_yellow },
        { "AAX selected by the click: yellow edge", 4.0f, 47.0f, colour_yellow },
        { "outside the outline", 3.0f, 35.0f, colour_black },
    });

    // Without the selection the edge shows the box itself.
    for (auto* name : { "VST3", "CLAP", "AAX" })
        click (view, name);

    const auto unselected = paintAt (view, 600);
    EXPECT_FALSE (near (pixelAt (unselected, 6.0f, 4.1f, 35.0f), colour_yellow));
    EXPECT_FALSE (near (pixelAt (unselected, 6.0f, 51.1f, 35.0f), colour_yellow));
}

TEST (MainViewPaint, ShiftTurnsOnlyTheInstallLabelIntoUninstall)
{
    ScopedPrefix prefix;
    MainComponent view;
    const auto normal = paintAt (view, 600);
    view.modifierKeysChanged (juce::ModifierKeys (juce::ModifierKeys::shiftModifier));
    const auto shifted = paintAt (view, 600);

    // The label sits under the INSTALL box: (86u, 77u) to (96u, 87u), a little wider for "UNINSTALL".
    const juce::Rectangle<int> label (480, 486, 120, 40);
    EXPECT_GT (differingPixels (normal, shifted, label), 20);
    EXPECT_EQ (differingPixels (normal, shifted, normal.getBounds()), differingPixels (normal, shifted, label));
}

TEST (MainViewPaint, ResultStatesReplaceTheRows)
{
    struct Case
    {
        const char* name;
        std::function<void (const ScopedPrefix&)> arrange;
        bool success;
    };

    const Case cases[] = {
        { "every processed format done", [] (const ScopedPrefix&) {}, true },
        { "a format without a folder failed",
          [] (const ScopedPrefix& p) { p.settingsFile().replaceWithText ("<s VST3_Path=\"C:\\V\" CLAP_Path=\"\" AAX_Path=\"C:\\A\"/>"); },
          false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ScopedPrefix prefix;
        c.arrange (prefix);
        MainComponent view;
        click (view, "SELECT_ALL");
        click (view, "INSTALL");

        const auto image = paintAt (view, 600);
        saveArtefact (image, c.success ? "paint-success.png" : "paint-failure.png");
        const juce::Rectangle<int> message (24, 168, 552, 228);
        const auto isGreen = [] (juce::Colour p) { return near (p, colour_green); };
        const auto isAmber = [] (juce::Colour p) { return near (p, juce::Colour (255, 170, 0)); };
        const auto isWhite = [] (juce::Colour p) { return near (p, colour_white); };

        EXPECT_EQ (anyPixel (image, message, isGreen), c.success);
        EXPECT_EQ (anyPixel (image, message, isAmber), ! c.success);
        EXPECT_TRUE (anyPixel (image, message, isWhite));
        checkProbes (image, 6.0f, {
            { "no VST3 row", 14.5f, 35.0f, colour_black },
            { "no SELECT ALL", 78.0f, 24.5f, colour_black },
            { "INSTALL box still drawn", 86.75f, 78.5f, shown (colour_grey, 0.5f) },
        });

        if (c.success)
        {
            // "SUCCESS!" sits at the bottom of the message area, 8u high.
            EXPECT_TRUE (anyPixel (image, { 24, 348, 552, 48 }, isWhite));
            EXPECT_FALSE (anyPixel (image, { 24, 168, 552, 100 }, isWhite));
        }
    }
}
