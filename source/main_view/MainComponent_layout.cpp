// Layout pass, hover help and modifier tracking.
#include "MainComponent.h"

namespace
{
juce::Rectangle<int> unitBounds (float x, float y, float w, float h)
{
    return { juce::roundToInt (x), juce::roundToInt (y), juce::roundToInt (w), juce::roundToInt (h) };
}
} // namespace

void MainComponent::resized()
{
    unit = (float) getWidth() * 0.01f;
    const auto u = unit;

    auto x = 4.0f * u;
    for (auto& button : extrasButtons)
    {
        button->setBounds (unitBounds (x, 73.5f * u, 10.0f * u, 10.0f * u));
        x += 11.5f * u;
    }

    installButton->setBounds (unitBounds (86.0f * u, 73.5f * u, 10.0f * u, 10.0f * u));
    selectAllButton->setBounds (unitBounds (77.0f * u, 22.0f * u, 19.0f * u, 5.0f * u));
    formatButtons[formatVst3]->setBounds (unitBounds (4.0f * u, 30.0f * u, 45.0f * u, 10.0f * u));
    formatButtons[formatClap]->setBounds (unitBounds (51.0f * u, 30.0f * u, 45.0f * u, 10.0f * u));
    formatButtons[formatAax]->setBounds (unitBounds (4.0f * u, 42.0f * u, 45.0f * u, 10.0f * u));

    helpLabel->setFont (juce::Font (juce::FontOptions (3.0f * u)));
    helpLabel->setBounds (unitBounds (4.0f * u, 90.0f * u, 92.0f * u, 3.0f * u));
}

void MainComponent::buttonStateChanged (juce::Button*)
{
}

void MainComponent::modifierKeysChanged (const juce::ModifierKeys& modifiers)
{
    const int flags = modifiers.getRawFlags() & 0xf;
    const int changed = flags ^ lastModifierFlags;

    if ((changed & 1) != 0)
        shiftHeld = (flags & 1) != 0;

    if (changed != 0)
        repaint();

    lastModifierFlags = flags;
}
