#pragma once

#include "PanelChrome.h"

/** Laid over the main view: the licence agreement in a scrolling text box. */
class panel_eula : public PanelChrome
{
public:
    explicit panel_eula (const juce::String& text);
    ~panel_eula() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    const juce::TextEditor& getEditor() const noexcept { return *licenceEditor; }

private:
    std::unique_ptr<juce::TextEditor> licenceEditor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (panel_eula)
};
