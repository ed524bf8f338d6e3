// The smallest JUCE program that opens a 600 x 600 window: the yardstick for start-up time.
// Built a second time as text_window (KW_DRAW_TEXT), drawing one line in a typeface embedded
// in the program, so JUCE's own cost of text is on the yardstick's side too.
#include <juce_gui_basics/juce_gui_basics.h>

#if KW_DRAW_TEXT
 #include "BinaryData.h"
#endif

class MinimalApplication : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override    { return "minimal_window"; }
    const juce::String getApplicationVersion() override { return "1.0"; }

    void initialise (const juce::String&) override
    {
        window = std::make_unique<juce::DocumentWindow> ("minimal_window", juce::Colours::black, juce::DocumentWindow::allButtons);
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
           #if KW_DRAW_TEXT
            g.setColour (juce::Colours::white);
            g.setFont (juce::Font (juce::FontOptions (face).withHeight (54.0f)));
            g.drawText ("QUERNFIELDREVERB3 DEMO", getLocalBounds().withTrimmedTop (60).withHeight (80), juce::Justification::centred);
           #endif
        }

       #if KW_DRAW_TEXT
        juce::Typeface::Ptr face = juce::Typeface::createSystemTypefaceFor (BinaryData::SFProRoundedRegular_otf,
                                                                            (size_t) BinaryData::SFProRoundedRegular_otfSize);
       #endif
    };

    std::unique_ptr<juce::DocumentWindow> window;
};

START_JUCE_APPLICATION (MinimalApplication)
