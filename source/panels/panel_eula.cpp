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
    licenceEditor->setBounds (PanelChrome::contentBounds (unit));
    closeButton->setBounds (PanelChrome::closeButtonBounds (unit));
}

void panel_eula::paint (juce::Graphics& g)
{
    g.fillAll (colour_black);
    PanelChrome::drawTitle (g, "LICENSE AGREEMENT", unit);
    PanelChrome::drawCloseControl (g, *closeButton, unit);
}

void panel_eula::buttonClicked (juce::Button*)
{
    PanelChrome::close (*this);
}
