#include "PanelChrome.h"

#include "look/Palette.h"
#include "look/UnitGeometry.h"

namespace PanelChrome
{
juce::Rectangle<float> shrunk (juce::Rectangle<float> r, float by)
{
    return r.reduced (juce::jmin (by, r.getWidth() * 0.5f), juce::jmin (by, r.getHeight() * 0.5f));
}

juce::Rectangle<int> closeButtonBounds (float u)
{
    return roundedBounds (88.0f * u, 1.5f * u, 8.0f * u, 8.0f * u);
}

juce::Rectangle<int> contentBounds (float u)
{
    return roundedBounds (4.0f * u, 12.0f * u, 92.0f * u, 80.0f * u);
}

void drawTitle (juce::Graphics& g, const juce::String& title, float u)
{
    g.setColour (colour_white);
    g.setFont (4.0f * u);
    g.drawSingleLineText (title, (int) (4.0f * u), (int) (6.0f * u));
}

void drawCloseControl (juce::Graphics& g, const juce::Button& closeButton, float unit)
{
    g.setColour (closeButton.isMouseOver (false) ? colour_grey : colour_grey.withAlpha ((juce::uint8) 0x80));
    const auto ring = shrunk (closeButton.getBounds().toFloat(), 2.0f * unit);
    g.drawEllipse (ring, 0.25f * unit);
    g.setFont (3.0f * unit);
    g.drawText ("X", ring, juce::Justification::centred, true);
}

void close (juce::Component& panel)
{
    if (auto* parent = panel.getParentComponent())
        parent->removeChildComponent (parent->getIndexOfChildComponent (&panel));
}

std::unique_ptr<juce::TextButton> makeButton (juce::Component& panel, juce::Button::Listener& listener,
                                              const juce::String& name, const juce::String& title)
{
    auto button = std::make_unique<juce::TextButton>();
    panel.addAndMakeVisible (*button);
    button->setName (name);
    button->setTitle (title);
    button->setAlpha (0.0f);
    button->addListener (&listener);
    return button;
}
} // namespace PanelChrome
