#pragma once

#include "SquareViewConstrainer.h"

#include <juce_gui_basics/juce_gui_basics.h>

class fh_installerApplication : public juce::JUCEApplication
{
public:
    fh_installerApplication() = default;
    ~fh_installerApplication() override;

    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override;
    bool moreThanOneInstanceAllowed() override;

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void anotherInstanceStarted (const juce::String& commandLine) override;
    void systemRequestedQuit() override;

    /** The one window; it owns the main view. */
    class MainWindow : public juce::DocumentWindow
    {
    public:
        explicit MainWindow (const juce::String& name);
        ~MainWindow() override;

        void closeButtonPressed() override;

    private:
        static void useSoftwareRenderer (juce::ComponentPeer& peer);

        SquareViewConstrainer squareView { *this };

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
    };

private:
    std::unique_ptr<MainWindow> mainWindow;
};
