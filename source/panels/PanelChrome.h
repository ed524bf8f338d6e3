#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** What the three extras panels share: their close control and the way they close. */
namespace PanelChrome
{
/** Where the close button goes: the panel's top-right corner. */
juce::Rectangle<int> closeButtonBounds (float unit);

/** The scrolling text area of the licence and release-notes panels. */
juce::Rectangle<int> contentBounds (float unit);

/** The panel's title line, white, at the top left. */
void drawTitle (juce::Graphics& g, const juce::String& title, float unit);

/** The circular "X" over the close button: brighter while the mouse is over it. */
void drawCloseControl (juce::Graphics& g, const juce::Button& closeButton, float unit);

/** Takes the panel off its parent; the owner keeps the object until it opens a new one. */
void close (juce::Component& panel);

/** Drawables keep their proportions and sit centred in the area. */
juce::Rectangle<float> shrunk (juce::Rectangle<float> r, float by);

/** A transparent click area named for the panel's dispatch, with an accessible title. */
std::unique_ptr<juce::TextButton> makeButton (juce::Component& panel, juce::Button::Listener& listener,
                                              const juce::String& name, const juce::String& title);
} // namespace PanelChrome
