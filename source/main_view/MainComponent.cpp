// Construction and destruction: the view's state, built in a fixed order.
#include "MainComponent.h"

#include "BinaryData.h"
#include "look/Palette.h"
#include "panels/panel_changelog.h"
#include "panels/panel_eula.h"
#include "panels/panel_support.h"
#include "platform/Platform.h"

MainComponent::MainComponent()
{
    // Every component, the window included, takes the program's look from here on.
    juce::LookAndFeel::setDefaultLookAndFeel (&customLookAndFeel);

    unit = 9.0f;
    shiftHeld = false;
    installDone = false;

    formatIcons[0] = loadIcon (BinaryData::icon_vst3_svg, BinaryData::icon_vst3_svgSize, true);
    formatIcons[1] = loadIcon (BinaryData::icon_clap_svg, BinaryData::icon_clap_svgSize, true);
    formatIcons[2] = loadIcon (BinaryData::icon_aax_svg, BinaryData::icon_aax_svgSize, true);
    extrasIcons[0] = loadIcon (BinaryData::icon_eula_svg, BinaryData::icon_eula_svgSize, true);
    extrasIcons[1] = loadIcon (BinaryData::icon_manual_svg, BinaryData::icon_manual_svgSize, true);
    extrasIcons[2] = loadIcon (BinaryData::icon_web_svg, BinaryData::icon_web_svgSize, true);
    extrasIcons[3] = loadIcon (BinaryData::icon_help_svg, BinaryData::icon_help_svgSize, true);
    extrasIcons[4] = loadIcon (BinaryData::icon_install_svg, BinaryData::icon_install_svgSize, true);
    changelogIcon = loadIcon (BinaryData::icon_changelog_svg, BinaryData::icon_changelog_svgSize, true);
    makerLogo = loadIcon (BinaryData::logo_fernhollow_svg, BinaryData::logo_fernhollow_svgSize, false);
    warningIcon = loadIcon (BinaryData::icon_warning_svg, BinaryData::icon_warning_svgSize, false);

    platformSuffix = ProductInfo::platformSuffix;

    const auto root = platform::fileFromWindowsPath (ProductInfo::defaultFormatRoot);
    formatFolders[formatClap] = root.getChildFile (ProductInfo::defaultFormatFolders[formatClap]);
    formatFolders[formatVst3] = root.getChildFile (ProductInfo::defaultFormatFolders[formatVst3]);
    formatFolders[formatAax] = root.getChildFile (ProductInfo::defaultFormatFolders[formatAax]);

    productName = ProductInfo::displayProductName();
    productVersion = ProductInfo::productVersion;
    websiteUrl = juce::URL (ProductInfo::productPageUrl);
    manualUrl = juce::URL (ProductInfo::productPageUrl);

    // Without the common data folder there is no settings folder: its child of an empty path
    // would be a folder at the root of the drive.
    if (const auto commonData = platform::commonAppDataFolder(); commonData != juce::File())
        settingsFolder = commonData.getChildFile ("Fernhollow");

    InstallPathSettings::loadOrCreate (settingsFolder, formatFolders);

    for (size_t i = 0; i < extrasButtons.size(); ++i)
        extrasButtons[i] = createButton (extrasNames[(int) i]);

    for (size_t i = 0; i < formatButtons.size(); ++i)
    {
        const auto bundle = bundleFile ((FormatIndex) i);
        formatSelected[i] = bundle != juce::File() && bundle.exists();
        formatButtons[i] = createButton (formatNames[(int) i]);
    }

    installButton = createButton ("INSTALL");
    selectAllButton = createButton ("SELECT_ALL");

    // The buttons are invisible and textless: screen readers get their visible labels instead.
    const char* const extrasTitles[] = { "EULA", "MANUAL", "WEBSITE", "SUPPORT", "CHANGES" };
    for (size_t i = 0; i < extrasButtons.size(); ++i)
    {
        extrasButtons[i]->setTitle (extrasTitles[i]);
        extrasButtons[i]->setDescription (hoverText (*extrasButtons[i]).value_or (juce::String()));
    }

    installButton->setTitle ("INSTALL");
    installButton->setDescription (*hoverText (*installButton));
    selectAllButton->setTitle ("SELECT ALL");

    for (auto format : { formatVst3, formatClap, formatAax })
        describeFormatButton (format, scanFormat (format));

    helpLabel = std::make_unique<juce::Label>();
    addAndMakeVisible (*helpLabel);
    helpLabel->setJustificationType (juce::Justification::centred);
    helpLabel->setColour (juce::Label::textColourId, colour_grey.withAlpha (0.5f));
    helpLabel->setText (ProductInfo::installerVersion, juce::dontSendNotification);

    setSize (600, 600);
}

MainComponent::~MainComponent()
{
    const auto temp = platform::tempFolder();

    if (temp != juce::File())
    {
        const auto script = temp.getChildFile ("script.sh");

        if (script.existsAsFile())
            script.deleteFile();
    }
}

std::unique_ptr<juce::TextButton> MainComponent::createButton (const juce::String& componentName)
{
    auto button = std::make_unique<juce::TextButton>();
    addAndMakeVisible (*button);
    button->setName (componentName);
    button->setAlpha (0.0f);
    button->addListener (this);
    return button;
}

std::unique_ptr<juce::Drawable> MainComponent::loadIcon (const char* data, int size, bool recolour)
{
    auto icon = juce::Drawable::createFromImageData (data, (size_t) size);

    if (icon != nullptr && recolour)
        icon->replaceColour (juce::Colours::black, colour_charcoal);

    return icon;
}
