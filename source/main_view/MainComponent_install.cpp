// The install or uninstall run over the selected formats.
#include "MainComponent.h"

#include "install/BundleInstaller.h"

void MainComponent::runInstall()
{
    // Shift cannot change during the run: it blocks the thread that tracks it.
    runWasUninstall = shiftHeld;

    for (auto format : allFormats)
    {
        const auto i = (size_t) format;
        runOutcomes[i].reset();

        if (! formatSelected[i])
            continue;

        const auto& row = FormatSpec::of (format);
        BundleInstaller installer (formatFolders[i], productName, row.bundleName (productName));

        if (shiftHeld)
            runOutcomes[i] = installer.uninstall();
        else
            runOutcomes[i] = installer.install (row.payloadData, row.payloadSize);

        formatSelected[i] = false;
    }

    installDone = true;

    for (auto& button : formatButtons)
        button->setVisible (false);

    selectAllButton->setVisible (false);
    installButton->setVisible (false);
    repaint();
}
