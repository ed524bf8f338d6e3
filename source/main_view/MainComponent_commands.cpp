// What a click on one of the view's buttons does.
#include "MainComponent.h"

#include "product/ProductInfo.h"

#include "platform/Shell.h"

void MainComponent::buttonClicked (juce::Button* button)
{
    const auto name = button->getName();

    if (name == "EULA" || name == "SUPPORT" || name == "CHANGES")
    {
        openPanel (name);
    }
    else if (name == "WEBSITE")
    {
        platform::openLink (websiteUrl);
    }
    else if (name == "MANUAL")
    {
        platform::openLink (manualUrl);
    }
    else if (const auto format = formatNames.indexOf (name); format >= 0 && format < numFormats && ProductInfo::carries ((FormatIndex) format))
    {
        formatSelected[(size_t) format] = ! formatSelected[(size_t) format];
        repaint();
    }
    else if (name == "INSTALL")
    {
        installClicked();
    }
    else if (name == "SELECT_ALL")
    {
        for (auto format : allFormats)
            formatSelected[(size_t) format] = ProductInfo::carries (format);
        repaint();
    }
}

void MainComponent::installClicked()
{
    if (std::find (formatSelected.begin(), formatSelected.end(), true) != formatSelected.end())
    {
        runInstall();
        return;
    }

    // No run over nothing: it would report a success that installed nothing.
    installNotice = shiftHeld ? "Select at least one format to uninstall." : "Select at least one format to install.";
    helpLabel->setText (installNotice, juce::dontSendNotification);
}
