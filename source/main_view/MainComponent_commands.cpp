// What a click on one of the view's buttons does.
#include "MainComponent.h"

void MainComponent::buttonClicked (juce::Button*)
{
}
