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
    if (button.isDown())
        return colour_green;

    return colour_grey.withAlpha (button.isOver() ? 0.75f : 0.5f);
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
    auto icon = loadDrawable (data, size);

    if (icon != nullptr)
        icon->replaceColour (juce::Colours::black, colour_charcoal);

    return icon;
}

namespace
{
// JUCE's composite copy shows every child, so what the SVG hid ("display:none") is hidden again.
// The copy holds the drawable children alone, in their order.
void copyVisibility (const juce::Component& from, juce::Component& to)
{
    to.setVisible (from.isVisible());

    auto drawableChildren = [] (const juce::Component& c)
    {
        juce::Array<juce::Component*> children;

        for (auto* child : c.getChildren())
            if (dynamic_cast<juce::Drawable*> (child) != nullptr)
                children.add (child);

        return children;
    };

    const auto fromChildren = drawableChildren (from);
    const auto toChildren = drawableChildren (to);

    for (int i = 0; i < juce::jmin (fromChildren.size(), toChildren.size()); ++i)
        copyVisibility (*fromChildren[i], *toChildren[i]);
}
} // namespace

std::unique_ptr<juce::Drawable> recoloured (const juce::Drawable* drawable, juce::Colour from, juce::Colour to)
{
    if (drawable == nullptr)
        return {};

    auto copy = drawable->createCopy();
    copyVisibility (*drawable, *copy);
    copy->replaceColour (from, to);
    return copy;
}

void drawCentred (const juce::Drawable& drawable, juce::Graphics& g, juce::Rectangle<float> area)
{
    drawable.drawWithin (g, area, juce::RectanglePlacement::centred, 1.0f);
}
} // namespace PaintedControls
