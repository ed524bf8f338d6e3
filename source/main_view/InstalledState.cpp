#include "InstalledState.h"

#include "platform/Platform.h"

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
