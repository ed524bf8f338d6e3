// Painting of the main view: everything the user sees but the help line.
#include "MainComponent.h"

#include "look/PaintedControls.h"
#include "look/Palette.h"
#include "product/ProductInfo.h"

using PaintedControls::drawCentred;
using PaintedControls::faceColour;
using PaintedControls::shrunk;

juce::Font MainComponent::font (float heightInUnits) const
{
    return PaintedControls::font (heightInUnits, unit);
}

void MainComponent::paint (juce::Graphics& g)
{
    const auto u = unit;
    const auto W = (float) getWidth();
    const auto H = (float) getHeight();

    g.fillAll (colour_black);

    g.setColour (colour_blue);
    g.fillRect (0.0f, 0.0f, 100.0f * u, u);

    g.setColour (colour_grey.withAlpha (0.5f));
    g.fillEllipse (W - 2.0f * u, H - 2.0f * u, u, u);
    g.fillEllipse (W - 2.0f * u, H - 4.0f * u, u, u);
    g.fillEllipse (W - 4.0f * u, H - 2.0f * u, u, u);

    // The title keeps 9u while it fits between the margins, and shrinks to fit when it does not.
    const auto title = productName.toUpperCase() + " DEMO";
    const juce::Rectangle<float> titleArea (4.0f * u, 8.0f * u, W, 12.0f * u);
    const auto titleRoom = W - 8.0f * u;
    const auto widthAt9u = juce::GlyphArrangement::getStringWidth (font (9.0f), title);
    g.setFont (font (widthAt9u > titleRoom && widthAt9u > 0.0f ? 9.0f * titleRoom / widthAt9u : 9.0f));
    g.setColour (colour_grey);
    g.drawText (title, titleArea, juce::Justification::topLeft, true);

    g.setFont (font (4.0f));
    g.setColour (colour_grey.withAlpha (0.5f));
    g.drawText ("Version " + productVersion + platformSuffix, titleArea, juce::Justification::bottomLeft, true);

    if (makerLogo != nullptr)
        makerLogo->drawWithin (g, { 4.0f * u, 2.5f * u, 26.7f * u, 3.7f * u },
                               juce::RectanglePlacement::xLeft | juce::RectanglePlacement::yMid, 1.0f);

    g.setFont (font (3.0f));
    g.drawSingleLineText ("KITWARDEN", (int) (75.0f * u), (int) (4.0f * u));
    g.setFont (font (2.0f));
    g.drawSingleLineText (juce::String ("v") + ProductInfo::installerVersion, (int) (75.0f * u), (int) (6.0f * u));

    g.setColour (colour_grey);
    g.setFont (font (4.0f));
    g.drawSingleLineText ("FORMATS", (int) (4.0f * u), (int) (26.0f * u));
    g.fillRect (4.0f * u, 27.5f * u, 92.0f * u, 0.25f * u);
    g.drawSingleLineText ("EXTRAS", (int) (4.0f * u), (int) (70.0f * u));
    g.fillRect (4.0f * u, 71.5f * u, 92.0f * u, 0.25f * u);

    g.setFont (font (2.25f));

    for (size_t k = 0; k < extrasButtons.size(); ++k)
    {
        const auto b = extrasButtons[k]->getBounds().toFloat();
        g.setColour (faceColour (*extrasButtons[k]));
        g.fillRoundedRectangle (b, u);

        if (auto* icon = k < 4 ? extrasIcons[k].get() : changelogIcon.get())
            drawCentred (*icon, g, shrunk (b, 2.0f * u));

        g.setColour (colour_grey);
        g.drawText (extrasNames[(int) k], b.translated (0.0f, 3.5f * u), juce::Justification::centredBottom, true);
    }

    {
        const auto b = installButton->getBounds().toFloat();
        g.setColour (faceColour (*installButton));
        g.fillRoundedRectangle (b, u);

        if (extrasIcons[4] != nullptr)
            drawCentred (*extrasIcons[4], g, shrunk (b, 1.5f * u));

        g.setColour (colour_grey);
        g.drawText (shiftHeld ? "UNINSTALL" : "INSTALL", b.translated (0.0f, 3.5f * u), juce::Justification::centredBottom, true);
    }

    if (installDone)
    {
        paintRunResult (g);
        return;
    }

    {
        const auto b = selectAllButton->getBounds().toFloat();
        const bool pressed = selectAllButton->isDown();
        g.setColour (pressed ? colour_green : colour_grey.withAlpha (0.1f));
        g.fillRoundedRectangle (b, u);
        g.setFont (font (2.7f));
        g.setColour (pressed ? colour_charcoal : colour_grey);
        g.drawText ("SELECT ALL", b, juce::Justification::centred, true);
    }

    for (auto format : allFormats)
    {
        if (! ProductInfo::carries (format))
            continue;

        const auto i = (size_t) format;
        const auto s = scanFormat (format);
        const auto& button = *formatButtons[i];
        const auto b = button.getBounds().toFloat();
        const bool hovered = button.isOver();

        if (s.exists)
            g.setColour ((s.needsUpdate ? colour_orange : colour_blue).withAlpha (hovered ? 1.0f : 0.9f));
        else
            g.setColour (colour_grey.withAlpha (hovered ? 0.5f : 0.35f));

        g.fillRoundedRectangle (b, u);

        if (formatSelected[i])
        {
            g.setColour (colour_yellow);
            g.drawRoundedRectangle (b, u, 0.5f * u);
        }

        const juce::Rectangle<float> t (b.getX() + 11.5f * u, b.getY() + 1.5f * u,
                                        juce::jmax (0.0f, b.getWidth() - 3.0f * u), juce::jmax (0.0f, b.getHeight() - 3.0f * u));
        const auto status = statusText (s);

        g.setColour (colour_black);
        g.setFont (font (2.975f));
        g.drawText (formatNames[(int) i], t, juce::Justification::topLeft, true);
        g.setFont (font (2.55f));
        g.drawText (status, t, juce::Justification::bottomLeft, true);

        if (formatIcons[i] != nullptr)
            drawCentred (*formatIcons[i], g, { b.getX() + u, b.getY() + u, 8.0f * u, juce::jmax (0.0f, b.getHeight() - 2.0f * u) });
    }
}

void MainComponent::paintRunResult (juce::Graphics& g)
{
    const auto u = unit;
    const juce::Rectangle<float> messageArea (4.0f * u, 28.0f * u, 92.0f * u, 38.0f * u);

    juce::StringArray failures;
    bool allDidTheirWork = true;

    for (auto format : allFormats)
    {
        if (const auto& outcome = runOutcomes[(size_t) format]; outcome.has_value() && ! outcome->succeeded())
        {
            failures.add (formatNames[format] + ": " + outcome->describe());
            allDidTheirWork = allDidTheirWork && outcome->didItsWork();
        }
    }

    if (failures.isEmpty())
    {
        if (successIcon != nullptr)
            drawCentred (*successIcon, g, shrunk (messageArea, 12.0f * u));

        g.setFont (font (8.0f));
        g.setColour (colour_white);
        g.drawText ("SUCCESS!", messageArea, juce::Justification::centredBottom, true);
        return;
    }

    // What failed, and what the user can do about it, where the success message would be.
    if (warningIcon != nullptr)
        drawCentred (*warningIcon, g, { 16.0f * u, 29.0f * u, 68.0f * u, 8.0f * u });

    g.setFont (font (8.0f));
    g.setColour (colour_white);
    // Leftovers alone: the plug-ins are as asked, and the lines say what is left where.
    const auto heading = allDidTheirWork ? (runWasUninstall ? "UNINSTALLED" : "INSTALLED")
                                         : (runWasUninstall ? "UNINSTALL FAILED" : "INSTALL FAILED");
    g.drawText (heading,
                juce::Rectangle<float> (4.0f * u, 37.0f * u, 92.0f * u, 8.0f * u), juce::Justification::centred, true);

    // Up to two lines for each failed format: three fit above the extras.
    g.setFont (font (3.0f));
    g.setColour (colour_grey);
    auto y = 45.5f * u;
    for (const auto& line : failures)
    {
        g.drawFittedText (line, juce::Rectangle<float> (4.0f * u, y, 92.0f * u, 6.5f * u).toNearestInt(),
                          juce::Justification::centred, 2, 1.0f);
        y += 6.5f * u;
    }
}
