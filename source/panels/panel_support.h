#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Laid over the main view: the chat community, the pre-filled support e-mail, and about. */
class panel_support : public juce::Component,
                      public juce::Button::Listener
{
public:
    panel_support();
    ~panel_support() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;

    float unit = 9.0f;
    juce::File settingsFolder;
    juce::String productName;
    juce::String productVersion;

private:
    std::unique_ptr<juce::TextButton> closeButton;
    std::unique_ptr<juce::TextButton> mailButton;
    std::unique_ptr<juce::TextButton> discordButton;
    std::unique_ptr<juce::Drawable> discordIcon;
    std::unique_ptr<juce::Drawable> mailIcon;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (panel_support)
};
