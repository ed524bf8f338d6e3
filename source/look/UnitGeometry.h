#pragma once

#include <juce_graphics/juce_graphics.h>

/** Integer bounds from unit geometry: x, y, width and height each rounded to the nearest
    pixel, halves to even, as every layout of the program does it.
*/
inline juce::Rectangle<int> roundedBounds (float x, float y, float width, float height)
{
    return { juce::roundToInt (x), juce::roundToInt (y), juce::roundToInt (width), juce::roundToInt (height) };
}
