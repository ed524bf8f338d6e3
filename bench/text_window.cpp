// The minimal window, drawing one line in a typeface embedded in the program: JUCE's own cost
// of text (loading the face, shaping, glyph rendering) on the yardstick's side too.
#include "BinaryData.h"

#include <juce_gui_basics/juce_gui_basics.h>

class TextApplication : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override    { return "text_window"; }
    const juce::String getApplicationVersion() override { return "1.0"; }

    void initialise (const juce::String&) override
    {
        window = std::make_unique<juce::DocumentWindow> ("text_window", juce::Colours::black, juce::DocumentWindow::allButtons);
        window->setUsingNativeTitleBar (true);
        window->setContentOwned (std::make_unique<Content>().release(), true);
        window->centreWithSize (600, 600);
        window->setVisible (true);
    }

    void shutdown() override { window = nullptr; }

private:
    struct Content : juce::Component
    {
        Content() { setSize (600, 600); }

        void paint (juce::Graphics& g) override
        {
            g.fillAll (juce::Colour (0xFF0094D8));
            g.setColour (juce::Colours::white);
            g.setFont (juce::Font (juce::FontOptions (face).withHeight (54.0f)));
            g.drawText ("QUERNFIELDREVERB3 DEMO", getLocalBounds().withTrimmedTop (60).withHeight (80), juce::Justification::centred);
        }

        juce::Typeface::Ptr face = juce::Typeface::createSystemTypefaceFor (BinaryData::SFProRoundedRegular_otf,
                                                                            (size_t) BinaryData::SFProRoundedRegular_otfSize);
    };

    std::unique_ptr<juce::DocumentWindow> window;
};

START_JUCE_APPLICATION (TextApplication)
