// Painting of the main view.
#include "MainComponent.h"

#include "look/Palette.h"

void MainComponent::paint (juce::Graphics& g)
{
    g.fillAll (colour_black);
}
