// The smallest JUCE program that opens a 600 x 600 window: the yardstick for start-up time.
#include <juce_gui_basics/juce_gui_basics.h>

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
        void paint (juce::Graphics& g) override { g.fillAll (juce::Colour (0xFF0094D8)); }
    };

    std::unique_ptr<juce::DocumentWindow> window;
};

START_JUCE_APPLICATION (MinimalApplication)
