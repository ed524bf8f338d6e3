#include "Platform.h"

#include "PeVersionReader.h"

namespace platform
{
namespace
{
std::optional<Folders>& testFolders()
{
    static std::optional<Folders> folders;
    return folders;
}

Folders currentFolders()
{
    if (auto& replacement = testFolders())
        return *replacement;

    return querySystemFolders();
}
} // namespace

void setFoldersForTesting (std::optional<Folders> replacement)
{
    testFolders() = std::move (replacement);
}

juce::File commonAppDataFolder() { return currentFolders().commonAppData; }
juce::File tempFolder()          { return currentFolders().temp; }
juce::File driveCFolder()        { return currentFolders().driveC; }

juce::String binaryFileVersion (const juce::File& file)
{
    // Read ourselves on every edition: bounded reads of the headers and the resource section only.
    return PeVersionReader::readFileVersion (file);
}

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
