#include "panel_eula.h"

#include "look/Palette.h"

panel_eula::panel_eula (const juce::String& text)
{
    licenceEditor = std::make_unique<juce::TextEditor>();
    addAndMakeVisible (*licenceEditor);
    licenceEditor->setMultiLine (true, true);
    licenceEditor->setText (text, true);
    licenceEditor->applyColourToAllText (colour_grey, true);
    // The background's colour: no frame, focused or not.
    licenceEditor->setColour (juce::TextEditor::outlineColourId, colour_black);
    licenceEditor->setColour (juce::TextEditor::focusedOutlineColourId, colour_black);
    licenceEditor->setTitle ("License agreement");

    // Above the editor, as when it was made after it.
    closeButton->toFront (false);
}

panel_eula::~panel_eula() = default;

void panel_eula::resized()
{
    licenceEditor->setBounds (contentBounds (unit));
    layoutChrome();
}

void panel_eula::paint (juce::Graphics& g)
{
    paintChrome (g, "LICENSE AGREEMENT");
}
