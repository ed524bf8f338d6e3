#include "panel_support.h"

#include "SupportMailLink.h"
#include "look/PaintedControls.h"
#include "look/Palette.h"
#include "look/UnitGeometry.h"
#include "platform/Shell.h"
#include "product/ProductInfo.h"

#include "BinaryData.h"

namespace
{
const char* const mailText = "If you have more complicated questions, or matters that need to remain private, "
                             "concerning account information, etc., feel free to email us.";
} // namespace

panel_support::panel_support (const juce::File& folder, const juce::String& product, const juce::String& version)
    : settingsFolder (folder), productName (product), productVersion (version)
{
    discordIcon = PaintedControls::loadIcon (BinaryData::icon_discord_svg, BinaryData::icon_discord_svgSize);
    mailIcon = PaintedControls::loadIcon (BinaryData::icon_mail_svg, BinaryData::icon_mail_svgSize);

    discordButton = std::make_unique<ClickArea> (*this, *this, "DISCORD");
    mailButton = std::make_unique<ClickArea> (*this, *this, "MAIL");
    discordButton->setTitle ("Discord");
    mailButton->setTitle ("E-mail");
    const auto maker = juce::String::fromUTF8 (ProductInfo::makerName);
    discordButton->setDescription ("Join the " + maker + " Discord in your web browser");
    mailButton->setDescription ("Write to " + maker + " support, with a short report of this system");
}

panel_support::~panel_support() = default;

void panel_support::resized()
{
    const auto u = unit;
    layoutChrome();
    discordButton->setBounds (roundedBounds (10.0f * u, 15.0f * u, 10.0f * u, 10.0f * u));
    mailButton->setBounds (roundedBounds (10.0f * u, 35.0f * u, 10.0f * u, 10.0f * u));
}

void panel_support::paint (juce::Graphics& g)
{
    const auto u = unit;
    paintChrome (g, {});

    auto drawContact = [&] (const char* heading, float headingY, ClickArea& button,
                            juce::Drawable* icon, const juce::String& text)
    {
        g.setColour (colour_white);
        g.setFont (PaintedControls::font (5.0f, u));
        g.drawText (heading, juce::Rectangle<float> (10.0f * u, headingY, 80.0f * u, 10.0f * u),
                    juce::Justification::centredLeft, true);

        const auto b = button.getBounds().toFloat();
        g.setColour (PaintedControls::faceColour (button));
        g.fillRoundedRectangle (b, u);

        if (icon != nullptr)
            PaintedControls::drawCentred (*icon, g, PaintedControls::shrunk (b, 2.0f * u));

        g.setColour (colour_grey);
        g.setFont (PaintedControls::font (3.0f, u));
        g.drawFittedText (text, roundedBounds (b.getX() + 12.0f * u, b.getY(), 70.0f * u, 30.0f * u),
                          juce::Justification::topLeft, 20);
    };

    drawContact ("DISCORD", 7.0f * u, *discordButton, discordIcon.get(), juce::String::fromUTF8 (ProductInfo::communityText));
    drawContact ("E-MAIL", 27.0f * u, *mailButton, mailIcon.get(), mailText);

    g.setColour (colour_grey);
    g.setFont (PaintedControls::font (3.0f, u));
    g.drawText ("ABOUT " + juce::String::fromUTF8 (ProductInfo::makerName).toUpperCase() + " KITWARDEN", juce::Rectangle<float> (10.0f * u, 57.0f * u, 80.0f * u, 10.0f * u),
                juce::Justification::centredLeft, true);

    const auto about = "The " + juce::String::fromUTF8 (ProductInfo::makerName) + " Kitwarden v" + ProductInfo::installerVersion
                     + " cross-platform installater. \nFeel free to drop us a line if you have any suggestions or "
                       "questions concerning its use. You can edit the default installation paths in the text file "
                       "found at "
                     + settingsFolder.getFullPathName() + "/" + ProductInfo::settingsFileName;
    g.drawFittedText (about, roundedBounds (10.0f * u, 65.0f * u, 80.0f * u, 30.0f * u), juce::Justification::topLeft, 20);

    g.drawSingleLineText (juce::String::fromUTF8 (ProductInfo::copyright), (int) (10.0f * u), (int) (88.0f * u));
}

void panel_support::buttonClicked (juce::Button* button)
{
    if (button == discordButton.get())
        platform::openLink (juce::URL (SupportMailLink::discordInviteUrl));
    else if (button == mailButton.get())
        platform::openLink (juce::URL (SupportMailLink::link (productName, productVersion, platform::systemReport())));
    else
        PanelChrome::buttonClicked (button);
}
