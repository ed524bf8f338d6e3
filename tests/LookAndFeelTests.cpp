#include "BinaryData.h"
#include "look/CustomLookAndFeel.h"
#include "look/PaintedControls.h"
#include "look/Palette.h"

#include <gtest/gtest.h>

TEST (CustomLookAndFeel, ColourTableOverridesOnlyWhatItLists)
{
    CustomLookAndFeel lf;
    juce::LookAndFeel_V4 stock;

    struct Case { const char* name; int id; juce::uint32 argb; };
    const Case cases[] = {
        { "popup background", juce::PopupMenu::backgroundColourId, 0xFF111111 },
        { "popup highlight", juce::PopupMenu::highlightedBackgroundColourId, 0x8086CF7A },
        { "popup text", juce::PopupMenu::textColourId, 0xFFF5F5F5 },
        { "popup highlighted text", juce::PopupMenu::highlightedTextColourId, 0xFFF5F5F5 },
        { "alert background", juce::AlertWindow::backgroundColourId, 0xFF111111 },
        { "alert text", juce::AlertWindow::textColourId, 0xFFAAA6A6 },
        { "property label", juce::PropertyComponent::labelTextColourId, 0x8086CF7A },
        { "scroll-bar thumb", juce::ScrollBar::thumbColourId, 0xFFAAA6A6 },
        { "window background", juce::ResizableWindow::backgroundColourId, 0xFF111111 },
        { "editor background", juce::TextEditor::backgroundColourId, 0xFF111111 },
        { "list background", juce::ListBox::backgroundColourId, 0xFF111111 },
        { "button", juce::TextButton::buttonColourId, 0xFF111111 },
        { "label text", juce::Label::textColourId, 0xFFF5F5F5 },
    };

    for (const auto& c : cases)
        EXPECT_EQ (lf.findColour (c.id).getARGB(), c.argb) << c.name;

    // Everything else keeps the dark scheme's value.
    for (int id : { (int) juce::TextEditor::textColourId, (int) juce::TextEditor::highlightColourId,
                    (int) juce::ComboBox::backgroundColourId, (int) juce::Slider::thumbColourId })
        EXPECT_EQ (lf.findColour (id), stock.findColour (id)) << id;
}

TEST (CustomLookAndFeel, EveryFontResolvesToTheOneRegularFace)
{
    CustomLookAndFeel lf;
    ASSERT_NE (lf.typeface_regular, nullptr);

    const juce::Font fonts[] = {
        juce::Font (juce::FontOptions (12.0f)),
        juce::Font (juce::FontOptions (30.0f, juce::Font::bold)),
        juce::Font (juce::FontOptions (9.0f, juce::Font::italic | juce::Font::bold)),
        juce::Font (juce::FontOptions ("Some Other Face", 14.0f, juce::Font::plain)),
    };

    for (const auto& f : fonts)
        EXPECT_EQ (lf.getTypefaceForFont (f).get(), lf.typeface_regular.get());

    // The stand-in face holds every glyph the program draws.
    for (auto c : { (juce::juce_wchar) 'A', (juce::juce_wchar) 0x2014, (juce::juce_wchar) 0x2022, (juce::juce_wchar) 0xa9 })
    {
        juce::Path path;
        lf.typeface_regular->getOutlineForGlyph (juce::TypefaceMetricsKind::legacy,
                                                  lf.typeface_regular->getNominalGlyphForCodepoint (c).value_or (0), path);
        EXPECT_FALSE (path.isEmpty()) << (int) c;
    }

    const auto popup = lf.getPopupMenuFont();
    EXPECT_FLOAT_EQ (popup.getHeight(), 30.0f);
    EXPECT_FLOAT_EQ (popup.getExtraKerningFactor(), 0.1f);
    EXPECT_FALSE (popup.isBold());
}

TEST (CustomLookAndFeel, ComboBoxesArePillsWithCentredText)
{
    CustomLookAndFeel lf;
    juce::ComboBox box;
    box.setSize (80, 20);
    juce::Label label;
    lf.positionComboBoxText (box, label);

    EXPECT_EQ (label.getBounds(), juce::Rectangle<int> (1, 1, 80, 18));
    EXPECT_FLOAT_EQ (label.getFont().getHeight(), 14.0f);
    EXPECT_EQ (label.getJustificationType(), juce::Justification::centred);

    juce::Image image (juce::Image::ARGB, 80, 20, true, juce::SoftwareImageType());
    juce::Graphics g (image);
    lf.drawComboBox (g, 80, 20, false, 0, 0, 0, 0, box);
    EXPECT_EQ (image.getPixelAt (40, 10), colour_charcoal);
    EXPECT_EQ (image.getPixelAt (0, 0).getAlpha(), 0);      // rounded ends, corner size 10
    EXPECT_EQ (image.getPixelAt (10, 10), colour_charcoal);
}

namespace
{
juce::Image drawn (const juce::Drawable& d)
{
    juce::Image image (juce::Image::ARGB, 64, 64, true, juce::SoftwareImageType());
    juce::Graphics g (image);
    PaintedControls::drawCentred (d, g, { 0.0f, 0.0f, 64.0f, 64.0f });
    return image;
}

int differingPixels (const juce::Image& a, const juce::Image& b)
{
    int n = 0;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            n += a.getPixelAt (x, y) != b.getPixelAt (x, y) ? 1 : 0;
    return n;
}

/** The icon as its SVG shows it: the hidden layers taken out of the document. */
std::unique_ptr<juce::Drawable> onlyShownLayers (const char* data, int size)
{
    auto svg = juce::parseXML (juce::String::fromUTF8 (data, size));
    std::vector<juce::XmlElement*> hidden;

    for (auto* child : svg->getChildIterator())
        if (child->getStringAttribute ("class") == "hide")
            hidden.push_back (child);

    for (auto* child : hidden)
        svg->removeChildElement (child, true);

    auto d = juce::Drawable::createFromSVG (*svg);
    d->replaceColour (juce::Colours::black, colour_charcoal);
    return d;
}
} // namespace

TEST (PaintedControls, FormatIconsDrawOnlyTheirOwnLayerAndCopiesKeepIt)
{
    struct Icon { const char* name; const char* data; int size; };
    const Icon icons[] = {
        { "VST3", BinaryData::icon_vst3_svg, BinaryData::icon_vst3_svgSize },
        { "CLAP", BinaryData::icon_clap_svg, BinaryData::icon_clap_svgSize },
        { "AAX", BinaryData::icon_aax_svg, BinaryData::icon_aax_svgSize },
    };

    std::vector<juce::Image> pictures;

    for (const auto& icon : icons)
    {
        SCOPED_TRACE (icon.name);
        const auto loaded = PaintedControls::loadIcon (icon.data, icon.size);
        const auto expected = drawn (*onlyShownLayers (icon.data, icon.size));
        const auto picture = drawn (*loaded);
        EXPECT_EQ (differingPixels (picture, expected), 0);

        // A recoloured copy keeps what the original hid.
        const auto copy = PaintedControls::recoloured (loaded.get(), colour_charcoal, colour_green);
        auto expectedCopy = onlyShownLayers (icon.data, icon.size);
        expectedCopy->replaceColour (colour_charcoal, colour_green);
        EXPECT_EQ (differingPixels (drawn (*copy), drawn (*expectedCopy)), 0);

        pictures.push_back (picture);
    }

    // Each mark is its own: no two rows show the same picture.
    for (size_t i = 0; i < pictures.size(); ++i)
        for (size_t j = i + 1; j < pictures.size(); ++j)
            EXPECT_GT (differingPixels (pictures[i], pictures[j]), 100) << icons[i].name << " and " << icons[j].name;
}
