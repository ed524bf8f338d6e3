#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The program's look-and-feel, made the framework's default by the main view. */
class CustomLookAndFeel : public juce::LookAndFeel_V4
{
public:
    CustomLookAndFeel();
    ~CustomLookAndFeel() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CustomLookAndFeel)
};
