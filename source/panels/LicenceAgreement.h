#pragma once

#include <juce_core/juce_core.h>

/** The product's end-user licence agreement, as the licence panel shows it. */
extern const juce::String licenceAgreementText;
