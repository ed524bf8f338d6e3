#include "PanelChrome.h"

#include "look/Palette.h"
#include "look/PaintedControls.h"
#include "look/UnitGeometry.h"

PanelChrome::PanelChrome()
{
    closeButton = std::make_unique<ClickArea> (*this, *this, "X");
    closeButton->setTitle ("Close");
}

PanelChrome::~PanelChrome() = default;

void PanelChrome::close()
{
    if (auto* parent = getParentComponent())
        parent->removeChildComponent (parent->getIndexOfChildComponent (this));
}

void PanelChrome::buttonClicked (juce::Button* button)
{
    if (button == closeButton.get())
        close();
}

juce::Rectangle<int> PanelChrome::closeButtonBounds (float u)
{
    return roundedBounds (88.0f * u, 1.5f * u, 8.0f * u, 8.0f * u);
}

juce::Rectangle<int> PanelChrome::contentBounds (float u)
{
    return roundedBounds (4.0f * u, 12.0f * u, 92.0f * u, 80.0f * u);
}

void PanelChrome::layoutChrome()
{
    closeButton->setBounds (closeButtonBounds (unit));
}

void PanelChrome::paintChrome (juce::Graphics& g, const juce::String& title) const
{
    const auto u = unit;
    g.fillAll (colour_black);

    if (title.isNotEmpty())
    {
        g.setColour (colour_white);
        g.setFont (PaintedControls::font (4.0f, u));
        g.drawSingleLineText (title, (int) (4.0f * u), (int) (6.0f * u));
    }

    g.setColour (closeButton->isOver() ? colour_grey : colour_grey.withAlpha (0.5f));
    const auto ring = PaintedControls::shrunk (closeButton->getBounds().toFloat(), 2.0f * u);
    g.drawEllipse (ring, 0.25f * u);
    g.setFont (PaintedControls::font (3.0f, u));
    g.drawText ("X", ring, juce::Justification::centred, true);
}
