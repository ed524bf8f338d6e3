#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Laid over the main view on demand; its content arrives with the extras panels. */
class panel_support : public juce::Component
{
public:
    panel_support() = default;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (panel_support)
};
