// Every screen a user meets, drawn whole and compared with a reviewed picture of it.
//
// KW_UPDATE_REFERENCES=1 writes the pictures instead (tools/update_reference_images.sh), so a
// drawing change shows in review as changed PNGs under tests/reference_images/.
#include "look/PaintedControls.h"
#include "main_view/MainComponent.h"
#include "panels/panel_support.h"
#include "support/PeBuilder.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace testing_support;

namespace
{
juce::File referenceFolder()
{
    return juce::File (KW_TESTS_DIR).getChildFile ("reference_images");
}

juce::File artefactFolder()
{
    return juce::File (KW_ARTEFACT_DIR).getChildFile ("reference_images");
}

bool updatingReferences()
{
    return juce::SystemStats::getEnvironmentVariable ("KW_UPDATE_REFERENCES", {}) == "1";
}

void writePng (const juce::Image& image, const juce::File& file)
{
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream out (file);
    ASSERT_TRUE (out.openedOk()) << file.getFullPathName();
    juce::PNGImageFormat().writeImageToStream (image, out);
}

juce::Image render (juce::Component& c, int size)
{
    c.setSize (size, size);
    juce::Image image (juce::Image::RGB, size, size, true, juce::SoftwareImageType());
    juce::Graphics g (image);
    c.paintEntireComponent (g, false);
    return image;
}

// Anti-aliasing may round differently from one build to another; a shape, a colour or a line
// out of place changes far more than this.
constexpr int channelSlack = 8;
constexpr double allowedShareOfPixels = 0.0001;

int channelDistance (juce::Colour a, juce::Colour b)
{
    return juce::jmax (std::abs ((int) a.getRed() - (int) b.getRed()),
                       std::abs ((int) a.getGreen() - (int) b.getGreen()),
                       std::abs ((int) a.getBlue() - (int) b.getBlue()));
}

/** Compares with the reference picture; on a mismatch leaves the actual picture and one with
    the differing pixels in red beside the artefacts, and says where.
*/
void matchesReference (const juce::Image& actual, const juce::String& name)
{
    const auto reference = referenceFolder().getChildFile (name + ".png");

    if (updatingReferences())
    {
        writePng (actual, reference);
        return;
    }

    const auto expected = juce::ImageFileFormat::loadFrom (reference);
    ASSERT_TRUE (expected.isValid()) << "no reference picture " << reference.getFullPathName()
                                     << "; tools/update_reference_images.sh makes it";

    const auto actualFile = artefactFolder().getChildFile (name + ".actual.png");
    const auto diffFile = artefactFolder().getChildFile (name + ".diff.png");

    if (expected.getBounds() != actual.getBounds())
    {
        writePng (actual, actualFile);
        FAIL() << name << ": " << actual.getWidth() << " x " << actual.getHeight() << " against the reference's "
               << expected.getWidth() << " x " << expected.getHeight() << "; actual picture: " << actualFile.getFullPathName();
    }

    juce::Image diff (juce::Image::RGB, actual.getWidth(), actual.getHeight(), true, juce::SoftwareImageType());
    int differing = 0, worst = 0;

    for (int y = 0; y < actual.getHeight(); ++y)
    {
        for (int x = 0; x < actual.getWidth(); ++x)
        {
            const auto d = channelDistance (actual.getPixelAt (x, y), expected.getPixelAt (x, y));
            worst = juce::jmax (worst, d);

            if (d > channelSlack)
            {
                ++differing;
                diff.setPixelAt (x, y, juce::Colours::red);
            }
            else
            {
                diff.setPixelAt (x, y, expected.getPixelAt (x, y).withMultipliedBrightness (0.3f));
            }
        }
    }

    const auto allowed = (int) (allowedShareOfPixels * actual.getWidth() * actual.getHeight());

    if (differing > allowed)
    {
        writePng (actual, actualFile);
        writePng (diff, diffFile);
        ADD_FAILURE() << name << ": " << differing << " pixels differ from the reference (at most " << allowed
                      << " may; largest channel difference " << worst << ")\n  reference: " << reference.getFullPathName()
                      << "\n  actual:    " << actualFile.getFullPathName() << "\n  difference: " << diffFile.getFullPathName();
    }
}


void click (MainComponent& view, const juce::String& name)
{
    view.buttonClicked (buttonNamed (view, name));
}

void hover (MainComponent& view, const juce::String& name)
{
    buttonNamed (view, name)->setState (juce::Button::buttonOver);
}

void installCurrentVst3AndOlderClap (const ScopedPrefix& prefix)
{
    putBinaryWithVersion (prefix.defaultFolder (formatVst3).getChildFile ("QuernfieldReverb3.vst3/Contents/x86_64-win/QuernfieldReverb3.vst3"), 2, 1);
    putBinaryWithVersion (prefix.defaultFolder (formatClap).getChildFile ("QuernfieldReverb3.clap"), 1, 0);
}

struct Screen
{
    const char* name;
    std::function<void (const ScopedPrefix&)> arrange;
    std::function<void (MainComponent&)> act;
};

const Screen mainViewScreens[] = {
    { "fresh", [] (const ScopedPrefix&) {}, [] (MainComponent&) {} },
    { "installed-and-outdated", installCurrentVst3AndOlderClap, [] (MainComponent&) {} },
    { "hovered-row", installCurrentVst3AndOlderClap, [] (MainComponent& v) { hover (v, "CLAP"); } },
    { "hovered-install", [] (const ScopedPrefix&) {}, [] (MainComponent& v) { hover (v, "INSTALL"); } },
    { "selection", [] (const ScopedPrefix&) {}, [] (MainComponent& v) { click (v, "AAX"); click (v, "CLAP"); } },
    { "shift-held", installCurrentVst3AndOlderClap,
      [] (MainComponent& v) { v.modifierKeysChanged (juce::ModifierKeys (juce::ModifierKeys::shiftModifier)); } },
    { "success", [] (const ScopedPrefix&) {}, [] (MainComponent& v) { click (v, "SELECT_ALL"); click (v, "INSTALL"); } },
    { "failure",
      [] (const ScopedPrefix& p) { p.settingsFile().replaceWithText ("<s VST3_Path=\"C:\\V\" CLAP_Path=\"\" AAX_Path=\"C:\\A\"/>"); },
      [] (MainComponent& v) { click (v, "SELECT_ALL"); click (v, "INSTALL"); } },
    { "licence", [] (const ScopedPrefix&) {}, [] (MainComponent& v) { v.openPanel ("EULA"); } },
    { "release-notes", [] (const ScopedPrefix&) {}, [] (MainComponent& v) { v.openPanel ("CHANGES"); } },
};

const int sizes[] = { 600, 900 };
} // namespace

TEST (ReferenceImages, MainViewAndItsPanels)
{
    for (const auto& screen : mainViewScreens)
    {
        for (const auto size : sizes)
        {
            SCOPED_TRACE (juce::String (screen.name) + " at " + juce::String (size));
            ScopedPrefix prefix;
            screen.arrange (prefix);
            MainComponent view;
            view.setSize (size, size);
            screen.act (view);
            matchesReference (render (view, size), juce::String (screen.name) + "-" + juce::String (size));
        }
    }
}

// The support panel names the settings file by its native path, which a test's own prefix
// would make different on every run: it is drawn over the view for a typical one instead.
TEST (ReferenceImages, SupportPanel)
{
   #if JUCE_WINDOWS
    const juce::File settingsFolder ("C:\\ProgramData\\Fernhollow");
    const juce::String edition = "windows";
   #else
    const juce::File settingsFolder ("/home/user/.wine/drive_c/ProgramData/Fernhollow");
    const juce::String edition = "linux";
   #endif

    for (const auto size : sizes)
    {
        SCOPED_TRACE (size);
        ScopedPrefix prefix;
        MainComponent view;
        view.setSize (size, size);
        panel_support panel (settingsFolder, view.getProductName(), view.getProductVersion());
        panel.setUnit (view.getUnit());
        panel.setBounds (view.getLocalBounds());
        matchesReference (render (panel, size), "support-" + juce::String (size) + "-" + edition);
    }
}
