// The installed state of each format, read from the disk on every call.
#include "MainComponent.h"

juce::File MainComponent::bundleFile (FormatIndex format) const
{
    const auto& folder = formatFolders[(size_t) format];

    // The child of an empty folder would be a root-level path; a format without a folder has no bundle.
    if (folder == juce::File())
        return {};

    return folder.getChildFile (productName + formatExtensions[(int) format]);
}

juce::File MainComponent::versionFile (FormatIndex format) const
{
    const auto bundle = bundleFile (format);

    switch (format)
    {
        case formatVst3:  return bundle == juce::File() ? bundle : bundle.getChildFile ("Contents/x86_64-win/" + productName + formatExtensions[formatVst3]);
        case formatAax:   return bundle == juce::File() ? bundle : bundle.getChildFile ("Contents/x64/" + productName + formatExtensions[formatAax]);
        case formatClap:
        case numFormats:  break;
    }

    return bundle;
}

FormatStatus MainComponent::scanFormat (FormatIndex format) const
{
    return InstalledState::scan (bundleFile (format), versionFile (format), productVersion);
}

juce::String MainComponent::statusText (const FormatStatus& status)
{
    return InstalledState::statusText (status);
}
