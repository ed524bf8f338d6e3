#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/** A fully transparent button over a control its owner paints itself: it takes the clicks and
    tells screen readers what the control shows.

    Where that changes with the disk or the run, the owner gives functions instead of fixed
    texts; they are asked when a screen reader asks, so painting never has to update them.
*/
class ClickArea : public juce::TextButton
{
public:
    /** Named for the owner's dispatch, transparent, listened to, and added to parent as a visible child. */
    ClickArea (juce::Component& parent, juce::Button::Listener& listener, const juce::String& componentName);

    /** Texts that follow live state; where unset, the component's title and description serve. */
    std::function<juce::String()> liveTitle;
    std::function<juce::String()> liveDescription;

    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ClickArea)
};
