#include "ClickArea.h"

namespace
{
class ClickAreaAccessibility : public juce::AccessibilityHandler
{
public:
    explicit ClickAreaAccessibility (ClickArea& a)
        : juce::AccessibilityHandler (a, juce::AccessibilityRole::button,
                                      juce::AccessibilityActions().addAction (juce::AccessibilityActionType::press,
                                                                              [&a] { a.triggerClick(); })),
          area (a)
    {
    }

    juce::String getTitle() const override
    {
        return area.liveTitle != nullptr ? area.liveTitle() : area.getTitle();
    }

    juce::String getDescription() const override
    {
        return area.liveDescription != nullptr ? area.liveDescription() : area.getDescription();
    }

private:
    ClickArea& area;
};
} // namespace

ClickArea::ClickArea (juce::Component& parent, juce::Button::Listener& listener, const juce::String& componentName)
{
    parent.addAndMakeVisible (*this);
    setName (componentName);
    setAlpha (0.0f);
    addListener (&listener);
}

std::unique_ptr<juce::AccessibilityHandler> ClickArea::createAccessibilityHandler()
{
    return std::make_unique<ClickAreaAccessibility> (*this);
}
