#include "Shell.h"

namespace platform
{
bool openLink (const juce::URL& link)
{
    return link.launchInDefaultBrowser();
}

SystemReport systemReport()
{
    return { juce::SystemStats::getOperatingSystemName(),
             juce::SystemStats::getDeviceDescription(),
             juce::SystemStats::getCpuModel() };
}
} // namespace platform
