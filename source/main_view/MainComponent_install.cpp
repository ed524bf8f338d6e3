// The install or uninstall run over the selected formats.
#include "MainComponent.h"

#include "BinaryData.h"
#include "BundleInstaller.h"

namespace
{
struct Payload
{
    const char* data;
    int size;
};

Payload payloadFor (FormatIndex format)
{
    switch (format)
    {
        case formatVst3: return { BinaryData::vst3_zip, BinaryData::vst3_zipSize };
        case formatClap: return { BinaryData::clap_zip, BinaryData::clap_zipSize };
        case formatAax:  return { BinaryData::aax_zip, BinaryData::aax_zipSize };
        case numFormats: break;
    }

    return { nullptr, 0 };
}
} // namespace

void MainComponent::runInstall()
{
    // Shift cannot change during the run: it blocks the thread that tracks it.
    runWasUninstall = shiftHeld;

    for (auto format : { formatVst3, formatClap, formatAax })
    {
        const auto i = (size_t) format;
        runOutcomes[i].reset();

        if (! formatSelected[i])
            continue;

        const auto& folder = formatFolders[i];
        BundleInstaller installer (folder, productName, productName + formatExtensions[(int) format]);

        if (shiftHeld)
        {
            runOutcomes[i] = installer.uninstall();
        }
        else
        {
            const auto payload = payloadFor (format);
            runOutcomes[i] = installer.install (payload.data, (size_t) payload.size);
        }

        formatSelected[i] = false;
    }

    installDone = true;

    for (auto& button : formatButtons)
        button->setVisible (false);

    selectAllButton->setVisible (false);
    installButton->setVisible (false);
    repaint();
}
