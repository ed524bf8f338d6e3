#include "InstalledState.h"

#include "platform/PeVersionReader.h"

namespace InstalledState
{
FormatStatus scan (const juce::File& bundle, const juce::File& versionFile, const juce::String& productVersion)
{
    if (bundle == juce::File() || ! bundle.exists())
        return {};

    FormatStatus status;
    status.exists = true;
    status.installedVersion = platform::binaryFileVersion (versionFile);
    status.needsUpdate = status.installedVersion.isNotEmpty()
                      && status.installedVersion.compareNatural (productVersion, false) < 0;
    return status;
}

juce::File bundleFile (const juce::File& formatFolder, FormatIndex format, const juce::String& productName)
{
    // The child of an empty folder would be a root-level path; a format without a folder has no bundle.
    if (formatFolder == juce::File())
        return {};

    return formatFolder.getChildFile (FormatSpec::of (format).bundleName (productName));
}

FormatStatus scanFormat (const juce::File& formatFolder, FormatIndex format, const juce::String& productName,
                         const juce::String& productVersion)
{
    const auto bundle = bundleFile (formatFolder, format, productName);
    return scan (bundle, FormatSpec::of (format).versionFile (bundle), productVersion);
}

FormatState stateOf (const FormatStatus& status)
{
    if (! status.exists)
        return FormatState::notInstalled;

    return status.needsUpdate ? FormatState::needsUpdate : FormatState::installed;
}

juce::String statusText (const FormatStatus& status)
{
    if (! status.exists)
        return "NOT INSTALLED";

    const auto prefix = status.installedVersion.isNotEmpty() ? "v" + status.installedVersion + " " : juce::String();
    return prefix + (status.needsUpdate ? "NEEDS UPDATE" : "INSTALLED");
}
} // namespace InstalledState
