#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Keeps the view inside a top-level window square, whatever frame the system draws round it.
    The framework hands a constrainer the window's bounds with its native frame, so a plain
    fixed aspect ratio squares the frame and leaves the view a caption's height short (Windows).
*/
class SquareViewConstrainer : public juce::ComponentBoundsConstrainer
{
public:
    /** window: the top-level window whose frame is taken off; its size limits apply to the view. */
    explicit SquareViewConstrainer (juce::Component& window);

    void checkBounds (juce::Rectangle<int>& bounds, const juce::Rectangle<int>& previousBounds,
                      const juce::Rectangle<int>& limits, bool isStretchingTop, bool isStretchingLeft,
                      bool isStretchingBottom, bool isStretchingRight) override;

private:
    juce::BorderSize<int> frame() const;

    juce::Component& window;
    JUCE_DECLARE_NON_COPYABLE (SquareViewConstrainer)
};
