#pragma once

#include <juce_core/juce_core.h>

namespace platform
{
/** The names of the programs that hold any of these files open, as the system can tell them
    (Windows' Restart Manager), each once. Empty where the system cannot say.
*/
juce::StringArray programsHolding (const juce::Array<juce::File>& files);
} // namespace platform
