#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The vocabulary of the controls the view and the panels paint themselves. */
namespace PaintedControls
{
/** The one face at a height in layout units. */
juce::Font font (float heightInUnits, float unit);

/** A control's box: green while pressed, grey brighter while hovered. */
juce::Colour faceColour (const juce::Button& button);

/** The rectangle reduced by the same amount on each side, never past its centre: drawables keep
    their proportions and sit centred in it.
*/
juce::Rectangle<float> shrunk (juce::Rectangle<float> r, float by);

/** An embedded SVG icon, its black ink turned charcoal so it reads on a lit box. */
std::unique_ptr<juce::Drawable> loadIcon (const char* data, int size);

/** An embedded SVG drawn as it is. */
std::unique_ptr<juce::Drawable> loadDrawable (const char* data, int size);

/** A copy of the drawable with one colour replaced, made once rather than on every paint. */
std::unique_ptr<juce::Drawable> recoloured (const juce::Drawable* drawable, juce::Colour from, juce::Colour to);

/** The drawable, proportions kept, centred in the area. */
void drawCentred (const juce::Drawable& drawable, juce::Graphics& g, juce::Rectangle<float> area);
} // namespace PaintedControls
