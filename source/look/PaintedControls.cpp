#include "PaintedControls.h"

#include "CustomLookAndFeel.h"
#include "Palette.h"

namespace PaintedControls
{
juce::Font font (float heightInUnits, float unit)
{
    // The program's look maps every font to its one face; under another look the stock face serves.
    if (auto* look = dynamic_cast<CustomLookAndFeel*> (&juce::LookAndFeel::getDefaultLookAndFeel()))
        return juce::Font (juce::FontOptions (look->typeface_regular).withHeight (heightInUnits * unit));

    return juce::Font (juce::FontOptions (heightInUnits * unit));
}

juce::Colour faceColour (const juce::Button& button)
{
    if (button.isMouseButtonDown (false))
        return colour_green;

    return colour_grey.withAlpha (button.isMouseOver (false) ? 0.75f : 0.5f);
}

juce::Rectangle<float> shrunk (juce::Rectangle<float> r, float by)
{
    return r.reduced (juce::jmin (by, r.getWidth() * 0.5f), juce::jmin (by, r.getHeight() * 0.5f));
}

std::unique_ptr<juce::Drawable> loadDrawable (const char* data, int size)
{
    return juce::Drawable::createFromImageData (data, (size_t) size);
}

std::unique_ptr<juce::Drawable> loadIcon (const char* data, int size)
{
    return recoloured (loadDrawable (data, size).get(), juce::Colours::black, colour_charcoal);
}

std::unique_ptr<juce::Drawable> recoloured (const juce::Drawable* drawable, juce::Colour from, juce::Colour to)
{
    if (drawable == nullptr)
        return {};

    auto copy = drawable->createCopy();
    copy->replaceColour (from, to);
    return copy;
}

void drawCentred (const juce::Drawable& drawable, juce::Graphics& g, juce::Rectangle<float> area)
{
    drawable.drawWithin (g, area, juce::RectanglePlacement::centred, 1.0f);
}
} // namespace PaintedControls
