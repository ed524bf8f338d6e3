#pragma once

#include "install/InstallOutcome.h"
#include "install/InstalledState.h"
#include "look/ClickArea.h"
#include "look/CustomLookAndFeel.h"
#include "product/FormatSpec.h"
#include "settings/InstallPathSettings.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <optional>

class panel_eula;
class panel_support;
class panel_changelog;

/** The installer's one view: it holds all run-time state, paints nearly everything itself and
    takes clicks through invisible buttons laid over what it paints.
*/
class MainComponent : public juce::Component,
                      public juce::Button::Listener,
                      private juce::FocusChangeListener
{
public:
    MainComponent();
    ~MainComponent() override;

    void paint (juce::Graphics& g) override;
    void modifierKeysChanged (const juce::ModifierKeys& modifiers) override;
    void resized() override;

    // The mouse over the view or any of its children: its modifiers say whether Shift is held.
    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseMove (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;

    void buttonClicked (juce::Button* button) override;
    void buttonStateChanged (juce::Button* button) override;

    /** The format's bundle in its install folder; empty when the format has no folder. */
    juce::File bundleFile (FormatIndex format) const;

    /** The binary inside the bundle whose file version tells the installed version. */
    juce::File versionFile (FormatIndex format) const;

    /** The format's state on disk now; nothing is cached. */
    FormatStatus scanFormat (FormatIndex format) const;

    static juce::String statusText (const FormatStatus& status);

    /** Installs, or while Shift is held uninstalls, every selected format, then shows the result. */
    void runInstall();

    /** What the last run did to the format; empty for formats it did not process. */
    const std::optional<InstallOutcome>& getRunOutcome (FormatIndex format) const { return runOutcomes[(size_t) format]; }
    bool wasUninstallRun() const noexcept                            { return runWasUninstall; }
    bool isInstallDone() const noexcept                              { return installDone; }
    bool isShiftHeld() const noexcept                                { return shiftHeld; }

    // Read-only views of the state, for tests and the parts that draw it.
    float getUnit() const noexcept                                   { return unit; }
    bool isFormatSelected (FormatIndex format) const noexcept        { return formatSelected[(size_t) format]; }
    const juce::File& getFormatFolder (FormatIndex format) const     { return formatFolders[(size_t) format]; }
    const juce::File& getSettingsFolder() const noexcept             { return settingsFolder; }
    const juce::String& getProductName() const noexcept              { return productName; }
    const juce::String& getProductVersion() const noexcept           { return productVersion; }
    const juce::Label& getHelpLabel() const noexcept                 { return *helpLabel; }

    /** Lays a fresh EULA, SUPPORT or CHANGES panel over the view, replacing one of its kind. */
    void openPanel (const juce::String& name);

    panel_eula* getEulaPanel() const noexcept           { return eulaPanel.get(); }
    panel_support* getSupportPanel() const noexcept     { return supportPanel.get(); }
    panel_changelog* getChangelogPanel() const noexcept { return changelogPanel.get(); }

private:
    template <typename Panel>
    void showPanel (std::unique_ptr<Panel>& member, std::unique_ptr<Panel> panel);

    /** Shift as the system has it now: the label and a click always agree with it. */
    void refreshShift (const juce::ModifierKeys& modifiers);
    void setShiftHeld (bool held);
    void refreshShiftFromSystem();
    void globalFocusChanged (juce::Component* focusedComponent) override;

    /** The INSTALL click: a run over the selection, or with nothing selected a word on what to do. */
    void installClicked();

    /** Keeps open panels covering the whole view at the current unit. */
    void relayoutPanels();

    juce::Font font (float heightInUnits) const;
    void paintRunResult (juce::Graphics& g);

    /** The help line's text for a control, as the hover help shows it; nothing for SELECT_ALL. */
    std::optional<juce::String> hoverText (const juce::Button& button) const;

    /** "Select to update VST3 to 3.2.1" or "Select to install VST3". */
    juce::String formatHoverText (FormatIndex format, bool bundleExists) const;

    /** What a screen reader says for a format button: its label and the status on disk now. */
    void describeFormatButton (FormatIndex format);

    std::unique_ptr<ClickArea> createButton (const juce::String& componentName);

    int lastModifierFlags = 0;
    CustomLookAndFeel customLookAndFeel;
    float unit = 9.0f;

    juce::String productName;
    juce::String productVersion;
    juce::String platformSuffix;

    std::array<std::unique_ptr<ClickArea>, 5> extrasButtons;
    std::array<std::unique_ptr<ClickArea>, numFormats> formatButtons;
    std::unique_ptr<ClickArea> installButton;
    std::unique_ptr<ClickArea> selectAllButton;

    std::unique_ptr<panel_eula> eulaPanel;
    std::unique_ptr<panel_support> supportPanel;
    std::unique_ptr<panel_changelog> changelogPanel;

    std::unique_ptr<juce::Label> helpLabel;

    // Icons with their colours already applied: painting never recolours.
    std::array<std::unique_ptr<juce::Drawable>, numFormats> formatIcons;
    std::array<std::unique_ptr<juce::Drawable>, 5> extrasIcons;
    std::unique_ptr<juce::Drawable> makerLogo;
    std::unique_ptr<juce::Drawable> changelogIcon;
    std::unique_ptr<juce::Drawable> warningIcon;
    std::unique_ptr<juce::Drawable> successIcon;

    juce::URL websiteUrl;
    juce::URL manualUrl;
    juce::File settingsFolder;

    bool shiftHeld = false;
    // Asked while Shift reads as held: a release in another program's window may come with no
    // event at all (Wine sends no move for a pointer back where it left).
    juce::TimedCallback shiftWatch { [this] { refreshShiftFromSystem(); } };
    bool installDone = false;
    std::array<bool, numFormats> formatSelected {};
    InstallPathSettings::FormatFolders formatFolders;

    std::array<std::optional<InstallOutcome>, numFormats> runOutcomes;
    juce::String installNotice;
    bool runWasUninstall = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
