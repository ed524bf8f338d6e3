#include "CustomLookAndFeel.h"

#include "Palette.h"

#include "BinaryData.h"

CustomLookAndFeel::CustomLookAndFeel()
{
    typeface_regular = juce::Typeface::createSystemTypefaceFor (BinaryData::SFProRoundedRegular_otf,
                                                                (size_t) BinaryData::SFProRoundedRegular_otfSize);

    setColour (juce::PopupMenu::backgroundColourId, colour_black);
    setColour (juce::PopupMenu::highlightedBackgroundColourId, colour_green.withAlpha (0.5f));
    setColour (juce::PopupMenu::textColourId, colour_white);
    setColour (juce::PopupMenu::highlightedTextColourId, colour_white);
    setColour (juce::AlertWindow::backgroundColourId, colour_black);
    setColour (juce::AlertWindow::textColourId, colour_grey);
    setColour (juce::PropertyComponent::labelTextColourId, colour_green.withAlpha (0.5f));
    setColour (juce::ScrollBar::thumbColourId, colour_grey);
    setColour (juce::ResizableWindow::backgroundColourId, colour_black);
    setColour (juce::TextEditor::backgroundColourId, colour_black);
    setColour (juce::ListBox::backgroundColourId, colour_black);
    setColour (juce::TextButton::buttonColourId, colour_black);
    setColour (juce::Label::textColourId, colour_white);
}

CustomLookAndFeel::~CustomLookAndFeel()
{
    typeface_regular = nullptr;
}

juce::Typeface::Ptr CustomLookAndFeel::getTypefaceForFont (const juce::Font&)
{
    // Bold, italic and other faces all resolve to the one regular face.
    return typeface_regular;
}

juce::Font CustomLookAndFeel::getPopupMenuFont()
{
    return juce::Font (juce::FontOptions (30.0f)).withHorizontalScale (1.0f).withExtraKerningFactor (0.1f)
               .withStyle (juce::Font::plain);
}

void CustomLookAndFeel::drawComboBox (juce::Graphics& g, int width, int height, bool, int, int, int, int, juce::ComboBox&)
{
    g.setColour (colour_charcoal);
    g.fillRoundedRectangle (0.0f, 0.0f, (float) width, (float) height, (float) height * 0.5f);
}

juce::Font CustomLookAndFeel::getComboBoxFont (juce::ComboBox& box)
{
    return juce::Font (juce::FontOptions ((float) box.getHeight() * 0.7f));
}

void CustomLookAndFeel::positionComboBoxText (juce::ComboBox& box, juce::Label& label)
{
    label.setBounds (1, 1, box.getWidth(), box.getHeight() - 2);
    label.setFont (getComboBoxFont (box));
    label.setJustificationType (juce::Justification::centred);
}
