#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The program's look: one rounded typeface for every font, and the palette on the few stock
    widgets that appear. Made the framework's default by the main view.
*/
class CustomLookAndFeel : public juce::LookAndFeel_V4
{
public:
    CustomLookAndFeel();
    ~CustomLookAndFeel() override;

    juce::Typeface::Ptr getTypefaceForFont (const juce::Font& font) override;
    juce::Font getPopupMenuFont() override;

    void drawComboBox (juce::Graphics& g, int width, int height, bool isButtonDown,
                       int buttonX, int buttonY, int buttonW, int buttonH, juce::ComboBox& box) override;
    juce::Font getComboBoxFont (juce::ComboBox& box) override;
    void positionComboBoxText (juce::ComboBox& box, juce::Label& label) override;

    /** The regular face made from the embedded font; every text of the program uses it. */
    juce::Typeface::Ptr typeface_regular;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CustomLookAndFeel)
};
