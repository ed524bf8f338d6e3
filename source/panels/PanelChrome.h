#pragma once

#include "look/ClickArea.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** What the three extras panels share: the layout unit of the view they cover, their title
    line, and the circular close control at the top right with the way they close.
*/
class PanelChrome : public juce::Component,
                    public juce::Button::Listener
{
public:
    PanelChrome();
    ~PanelChrome() override;

    /** The unit of the view the panel covers. It changes only with the view's width, so the
        host sets it before the bounds, whose change lays the panel out.
    */
    void setUnit (float newUnit) noexcept { unit = newUnit; }
    float getUnit() const noexcept { return unit; }

    /** Takes the panel off its parent; the owner keeps the object until it opens a new one. */
    void close();

    /** A click on the close control closes; panels with more controls handle theirs first. */
    void buttonClicked (juce::Button* button) override;

    /** Where the close button goes: the panel's top-right corner. */
    static juce::Rectangle<int> closeButtonBounds (float unit);

    /** The scrolling text area of the licence and release-notes panels. */
    static juce::Rectangle<int> contentBounds (float unit);

protected:
    /** The background, the title line (white, top left; none when empty) and the close control. */
    void paintChrome (juce::Graphics& g, const juce::String& title) const;

    /** Places the close button; the panels' resized() call it. */
    void layoutChrome();

    float unit = 9.0f;
    std::unique_ptr<ClickArea> closeButton;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PanelChrome)
};
