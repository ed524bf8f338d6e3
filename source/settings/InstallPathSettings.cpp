#include "InstallPathSettings.h"

#include "SettingsFileGuard.h"
#include "product/ProductInfo.h"
#include "platform/WindowsPaths.h"

namespace InstallPathSettings
{
namespace
{
void readFrom (const juce::XmlElement& root, FormatFolders& folders)
{
    for (auto format : allFormats)
    {
        auto& folder = folders[(size_t) format];
        folder = platform::fileFromWindowsPath (root.getStringAttribute (FormatSpec::of (format).settingsAttribute));

        if (folder != juce::File() && ! folder.exists())
            folder.createDirectory();
    }
}
} // namespace

juce::File settingsFileIn (const juce::File& settingsFolder)
{
    return settingsFolder.getChildFile (ProductInfo::settingsFileName);
}

std::unique_ptr<juce::XmlElement> createDefaultDocument (const FormatFolders& folders)
{
    auto root = std::make_unique<juce::XmlElement> ("Kitwarden_Settings");
    root->setAttribute ("Important_Note:", juce::String::fromUTF8 (ProductInfo::settingsNote));

    // The shared file's own attribute order: CLAP first.
    for (auto format : { formatClap, formatVst3, formatAax })
        root->setAttribute (FormatSpec::of (format).settingsAttribute,
                            platform::windowsPathFromFile (folders[(size_t) format]));

    return root;
}

void loadOrCreate (const juce::File& settingsFolder, FormatFolders& folders)
{
    if (settingsFolder == juce::File())
        return;

    const auto file = settingsFileIn (settingsFolder);

    if (file.existsAsFile())
    {
        // A file we cannot trust the parser with leaves the defaults in place, untouched.
        auto text = SettingsFileGuard::loadIfSafe (file);

        if (! text.has_value())
            return;

        if (auto root = juce::parseXML (*text))
            readFrom (*root, folders);

        return;
    }

    // A folder of that name is no settings file, and the writer must not replace it.
    if (file.isDirectory())
        return;

    // The settings folder is not created: where it is missing the write fails and defaults serve.
    createDefaultDocument (folders)->writeTo (file);
}
} // namespace InstallPathSettings
