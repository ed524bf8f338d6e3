#pragma once

#include <juce_core/juce_core.h>

namespace platform
{
/** Hands an https or mailto link to the system's default handler. */
bool openLink (const juce::URL& link);

/** What the support e-mail reports about this machine. */
struct SystemReport
{
    juce::String osName;
    juce::String deviceDescription;
    juce::String cpuModel;
};

SystemReport systemReport();
} // namespace platform
