#include "SquareViewConstrainer.h"

SquareViewConstrainer::SquareViewConstrainer (juce::Component& w) : window (w)
{
    setFixedAspectRatio (1.0);
}

void SquareViewConstrainer::checkBounds (juce::Rectangle<int>& bounds, const juce::Rectangle<int>& previousBounds,
                                         const juce::Rectangle<int>& limits, bool isStretchingTop, bool isStretchingLeft,
                                         bool isStretchingBottom, bool isStretchingRight)
{
    const auto border = frame();
    auto view = border.subtractedFrom (bounds);

    ComponentBoundsConstrainer::checkBounds (view, border.subtractedFrom (previousBounds), border.subtractedFrom (limits),
                                             isStretchingTop, isStretchingLeft, isStretchingBottom, isStretchingRight);
    bounds = border.addedTo (view);
}

juce::BorderSize<int> SquareViewConstrainer::frame() const
{
    if (auto* peer = window.getPeer())
        if (const auto size = peer->getFrameSizeIfPresent())
            return *size;

    return {};
}
