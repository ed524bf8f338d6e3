#include "SystemFolders.h"

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
} // namespace platform
