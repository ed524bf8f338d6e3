// The installed state of each format, read from the disk on every call.
#include "MainComponent.h"

juce::File MainComponent::bundleFile (FormatIndex format) const
{
    return InstalledState::bundleFile (formatFolders[(size_t) format], format, productName);
}

juce::File MainComponent::versionFile (FormatIndex format) const
{
    return FormatSpec::of (format).versionFile (bundleFile (format));
}

FormatStatus MainComponent::scanFormat (FormatIndex format) const
{
    return InstalledState::scanFormat (formatFolders[(size_t) format], format, productName, productVersion);
}

juce::String MainComponent::statusText (const FormatStatus& status)
{
    return InstalledState::statusText (status);
}
