#pragma once

#include "PanelChrome.h"

/** Laid over the main view: the chat community, the pre-filled support e-mail, and about. */
class panel_support : public PanelChrome
{
public:
    /** The settings folder is named in the about text; product and version go into the e-mail. */
    panel_support (const juce::File& settingsFolder, const juce::String& productName, const juce::String& productVersion);
    ~panel_support() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;

    const juce::File& getSettingsFolder() const noexcept    { return settingsFolder; }
    const juce::String& getProductName() const noexcept     { return productName; }
    const juce::String& getProductVersion() const noexcept  { return productVersion; }

private:
    juce::File settingsFolder;
    juce::String productName;
    juce::String productVersion;

    std::unique_ptr<ClickArea> mailButton;
    std::unique_ptr<ClickArea> discordButton;
    std::unique_ptr<juce::Drawable> discordIcon;
    std::unique_ptr<juce::Drawable> mailIcon;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (panel_support)
};
