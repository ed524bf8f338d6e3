#pragma once

#include <juce_graphics/juce_graphics.h>

// The program's eight colours, opaque ARGB.
inline const juce::Colour colour_black    { 0xFF111111 };
inline const juce::Colour colour_charcoal { 0xFF171717 };
inline const juce::Colour colour_white    { 0xFFF5F5F5 };
inline const juce::Colour colour_grey     { 0xFFAAA6A6 };
inline const juce::Colour colour_green    { 0xFF86CF7A };
inline const juce::Colour colour_blue     { 0xFF0094D8 };
inline const juce::Colour colour_yellow   { 0xFFD3C55F };
inline const juce::Colour colour_orange   { 0xFFE08A2A };
