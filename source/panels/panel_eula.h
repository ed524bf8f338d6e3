#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Laid over the main view: the licence agreement in a scrolling text box. */
class panel_eula : public juce::Component,
                   public juce::Button::Listener
{
public:
    explicit panel_eula (juce::String text);
    ~panel_eula() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;

    float unit = 9.0f;

    const juce::TextEditor& getEditor() const noexcept { return *licenceEditor; }

private:
    std::unique_ptr<juce::TextEditor> licenceEditor;
    std::unique_ptr<juce::TextButton> closeButton;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (panel_eula)
};
