#include "panel_support.h"

#include "PanelChrome.h"
#include "SupportMailLink.h"
#include "look/Palette.h"
#include "look/UnitGeometry.h"
#include "main_view/ProductInfo.h"

#include "BinaryData.h"

namespace
{
std::unique_ptr<juce::Drawable> loadIcon (const char* data, int size)
{
    auto icon = juce::Drawable::createFromImageData (data, (size_t) size);

    if (icon != nullptr)
        icon->replaceColour (juce::Colour (0xFF000000), colour_charcoal);

    return icon;
}

juce::Colour faceColour (const juce::Button& b)
{
    if (b.isMouseButtonDown (false))
        return colour_green;

    return colour_grey.withAlpha ((juce::uint8) (b.isMouseOver (false) ? 0xBF : 0x80));
}

const char* const discordText = "The Fernhollow Discord is a vibrant community of musicians and producers, and this is "
                                "the fastest way to get answers to simple questions. Just join and drop in the "
                                "appropriate channel. ";
const char* const mailText = "If you have more complicated questions, or matters that need to remain private, "
                             "concerning account information, etc., feel free to email us.";
const char* const copyrightNotice = "\xc2\xa9 2019-2026 Fernhollow Audio Ltd.";
} // namespace

panel_support::panel_support()
{
    discordIcon = loadIcon (BinaryData::icon_discord_svg, BinaryData::icon_discord_svgSize);
    mailIcon = loadIcon (BinaryData::icon_mail_svg, BinaryData::icon_mail_svgSize);

    closeButton = PanelChrome::makeButton (*this, *this, "X", "Close");
    discordButton = PanelChrome::makeButton (*this, *this, "DISCORD", "Discord");
    mailButton = PanelChrome::makeButton (*this, *this, "MAIL", "E-mail");
    discordButton->setDescription ("Join the Fernhollow Discord in your web browser");
    mailButton->setDescription ("Write to Fernhollow support, with a short report of this system");
}

panel_support::~panel_support() = default;

void panel_support::resized()
{
    const auto u = unit;
    closeButton->setBounds (PanelChrome::closeButtonBounds (u));
    discordButton->setBounds (roundedBounds (10.0f * u, 15.0f * u, 10.0f * u, 10.0f * u));
    mailButton->setBounds (roundedBounds (10.0f * u, 35.0f * u, 10.0f * u, 10.0f * u));
}

void panel_support::paint (juce::Graphics& g)
{
    const auto u = unit;
    g.fillAll (colour_black);
    PanelChrome::drawCloseControl (g, *closeButton, u);

    auto drawContact = [&] (const char* heading, float headingY, juce::TextButton& button,
                            juce::Drawable* icon, const char* text)
    {
        g.setColour (colour_white);
        g.setFont (5.0f * u);
        g.drawText (heading, juce::Rectangle<float> (10.0f * u, headingY, 80.0f * u, 10.0f * u),
                    juce::Justification::centredLeft, true);

        const auto b = button.getBounds().toFloat();
        g.setColour (faceColour (button));
        g.fillRoundedRectangle (b, u);

        if (icon != nullptr)
            icon->drawWithin (g, PanelChrome::shrunk (b, 2.0f * u), juce::RectanglePlacement::centred, 1.0f);

        g.setColour (colour_grey);
        g.setFont (3.0f * u);
        g.drawFittedText (text, roundedBounds (b.getX() + 12.0f * u, b.getY(), 70.0f * u, 30.0f * u),
                          juce::Justification::topLeft, 20);
    };

    drawContact ("DISCORD", 7.0f * u, *discordButton, discordIcon.get(), discordText);
    drawContact ("E-MAIL", 27.0f * u, *mailButton, mailIcon.get(), mailText);

    g.setColour (colour_grey);
    g.setFont (3.0f * u);
    g.drawText ("ABOUT FERNHOLLOW KITWARDEN", juce::Rectangle<float> (10.0f * u, 57.0f * u, 80.0f * u, 10.0f * u),
                juce::Justification::centredLeft, true);

    const auto about = juce::String ("The Fernhollow Kitwarden v") + ProductInfo::installerVersion
                     + " cross-platform installater. \nFeel free to drop us a line if you have any suggestions or "
                       "questions concerning its use. You can edit the default installation paths in the text file "
                       "found at "
                     + settingsFolder.getFullPathName() + "/KitwardenSettings.txt";
    g.drawFittedText (about, roundedBounds (10.0f * u, 65.0f * u, 80.0f * u, 30.0f * u), juce::Justification::topLeft, 20);

    g.drawSingleLineText (juce::String::fromUTF8 (copyrightNotice), (int) (10.0f * u), (int) (88.0f * u));
}

void panel_support::buttonClicked (juce::Button* button)
{
    const auto name = button->getName();

    if (name.compare ("X") == 0)
        PanelChrome::close (*this);
    else if (name.compare ("DISCORD") == 0)
        platform::openLink (juce::URL (SupportMailLink::discordInviteUrl));
    else if (name.compare ("MAIL") == 0)
        platform::openLink (juce::URL (SupportMailLink::link (productName, productVersion, platform::systemReport())));
}
