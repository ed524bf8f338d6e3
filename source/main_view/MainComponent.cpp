// Construction and destruction: the view's state, built in a fixed order.
#include "MainComponent.h"

#include "BinaryData.h"
#include "install/BundleInstaller.h"
#include "look/PaintedControls.h"
#include "look/Palette.h"
#include "panels/panel_changelog.h"
#include "panels/panel_eula.h"
#include "panels/panel_support.h"
#include "platform/FileChecks.h"
#include "platform/SystemFolders.h"
#include "platform/WindowsPaths.h"
#include "product/ProductInfo.h"

MainComponent::MainComponent()
{
    using PaintedControls::loadIcon;

    // Every component, the window included, takes the program's look from here on.
    juce::LookAndFeel::setDefaultLookAndFeel (&customLookAndFeel);

    formatIcons[formatVst3] = loadIcon (BinaryData::icon_vst3_svg, BinaryData::icon_vst3_svgSize);
    formatIcons[formatClap] = loadIcon (BinaryData::icon_clap_svg, BinaryData::icon_clap_svgSize);
    formatIcons[formatAax] = loadIcon (BinaryData::icon_aax_svg, BinaryData::icon_aax_svgSize);
    extrasIcons[0] = loadIcon (BinaryData::icon_eula_svg, BinaryData::icon_eula_svgSize);
    extrasIcons[1] = loadIcon (BinaryData::icon_manual_svg, BinaryData::icon_manual_svgSize);
    extrasIcons[2] = loadIcon (BinaryData::icon_web_svg, BinaryData::icon_web_svgSize);
    extrasIcons[3] = loadIcon (BinaryData::icon_help_svg, BinaryData::icon_help_svgSize);
    extrasIcons[4] = loadIcon (BinaryData::icon_install_svg, BinaryData::icon_install_svgSize);
    changelogIcon = loadIcon (BinaryData::icon_changelog_svg, BinaryData::icon_changelog_svgSize);
    makerLogo = PaintedControls::recoloured (PaintedControls::loadDrawable (BinaryData::maker_logo_svg,
                                                                            BinaryData::maker_logo_svgSize).get(),
                                             juce::Colours::black, colour_white);
    warningIcon = PaintedControls::loadDrawable (BinaryData::icon_warning_svg, BinaryData::icon_warning_svgSize);
    successIcon = PaintedControls::recoloured (extrasIcons[4].get(), colour_charcoal, colour_green);

    platformSuffix = ProductInfo::platformSuffix;

    // Without drive C: there is no default folder at all: the empty root's child would be a
    // folder at the top of the file system.
    if (const auto root = platform::fileFromWindowsPath (ProductInfo::defaultFormatRoot); root != juce::File())
        for (auto format : allFormats)
            formatFolders[(size_t) format] = root.getChildFile (FormatSpec::of (format).defaultFolder);

    productName = ProductInfo::displayProductName();
    productVersion = ProductInfo::productVersion;
    websiteUrl = juce::URL (ProductInfo::productPageUrl);
    manualUrl = juce::URL (ProductInfo::productPageUrl);

    // Without the common data folder there is no settings folder: its child of an empty path
    // would be a folder at the root of the drive.
    if (const auto commonData = platform::commonAppDataFolder(); commonData != juce::File())
        settingsFolder = commonData.getChildFile (ProductInfo::settingsFolderName);

    InstallPathSettings::loadOrCreate (settingsFolder, formatFolders);

    // A run killed midway may have left a bundle aside: it goes back before anything is shown.
    for (auto format : allFormats)
        BundleInstaller (formatFolders[(size_t) format], productName, FormatSpec::of (format).bundleName (productName))
            .cleanUpAbandonedStaging();

    for (size_t i = 0; i < extrasButtons.size(); ++i)
        extrasButtons[i] = createButton (extrasNames[(int) i]);

    for (auto format : allFormats)
    {
        const auto bundle = bundleFile (format);
        formatSelected[(size_t) format] = ProductInfo::carries (format) && bundle != juce::File() && bundle.exists();
        formatButtons[(size_t) format] = createButton (formatNames[format]);
        formatButtons[(size_t) format]->setVisible (ProductInfo::carries (format));
    }

    installButton = createButton ("INSTALL");
    selectAllButton = createButton ("SELECT_ALL");

    // The buttons are invisible and textless: screen readers get their visible labels instead.
    for (auto& button : extrasButtons)
    {
        button->setTitle (button->getName());
        button->setDescription (hoverText (*button).value_or (juce::String()));
    }

    installButton->setTitle ("INSTALL");
    installButton->setDescription (*hoverText (*installButton));
    selectAllButton->setTitle ("SELECT ALL");

    for (auto format : allFormats)
        describeFormatButton (format);

    helpLabel = std::make_unique<juce::Label>();
    addAndMakeVisible (*helpLabel);
    helpLabel->setJustificationType (juce::Justification::centred);
    helpLabel->setColour (juce::Label::textColourId, colour_grey.withAlpha (0.5f));
    helpLabel->setText (ProductInfo::installerVersion, juce::dontSendNotification);

    // The children's mouse events too: each carries the modifier keys as they are.
    addMouseListener (this, true);
    juce::Desktop::getInstance().addFocusChangeListener (this);

    setSize (600, 600);
}

MainComponent::~MainComponent()
{
    juce::Desktop::getInstance().removeFocusChangeListener (this);
    const auto temp = platform::tempFolder();

    if (temp != juce::File())
    {
        const auto script = temp.getChildFile ("script.sh");

        // The folder may be shared: only a file of this user's is ours to delete.
        if (platform::isOwnRegularFile (script))
            script.deleteFile();
    }
}

std::unique_ptr<ClickArea> MainComponent::createButton (const juce::String& componentName)
{
    return std::make_unique<ClickArea> (*this, *this, componentName);
}
