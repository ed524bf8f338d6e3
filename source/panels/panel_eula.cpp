#include "panel_eula.h"

#include "PanelChrome.h"
#include "look/Palette.h"

panel_eula::panel_eula (juce::String text)
{
    unit = 9.0f;
    licenceEditor = std::make_unique<juce::TextEditor>();
    addAndMakeVisible (*licenceEditor);
    licenceEditor->setMultiLine (true, true);
    licenceEditor->setText (text, true);
    licenceEditor->applyColourToAllText (colour_grey, true);
    // The background's colour: no frame, focused or not.
    licenceEditor->setColour (juce::TextEditor::outlineColourId, colour_black);
    licenceEditor->setColour (juce::TextEditor::focusedOutlineColourId, colour_black);
    licenceEditor->setTitle ("License agreement");

    closeButton = PanelChrome::makeButton (*this, *this, "X", "Close");
}

panel_eula::~panel_eula() = default;

void panel_eula::resized()
{
    const auto u = unit;
    licenceEditor->setBounds (juce::roundToInt (4.0f * u), juce::roundToInt (12.0f * u),
                              juce::roundToInt (92.0f * u), juce::roundToInt (80.0f * u));
    closeButton->setBounds (juce::roundToInt (88.0f * u), juce::roundToInt (1.5f * u),
                            juce::roundToInt (8.0f * u), juce::roundToInt (8.0f * u));
}

void panel_eula::paint (juce::Graphics& g)
{
    const auto u = unit;
    g.fillAll (colour_black);
    g.setColour (colour_white);
    g.setFont (4.0f * u);
    g.drawSingleLineText ("LICENSE AGREEMENT", (int) (4.0f * u), (int) (6.0f * u));
    PanelChrome::drawCloseControl (g, *closeButton, u);
}

void panel_eula::buttonClicked (juce::Button*)
{
    PanelChrome::close (*this);
}
