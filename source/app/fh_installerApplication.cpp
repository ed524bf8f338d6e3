#include "fh_installerApplication.h"

#include "AppIconData.h"
#include "main_view/MainComponent.h"
#include "platform/Rendering.h"
#include "platform/WindowShape.h"
#include "product/ProductInfo.h"

fh_installerApplication::~fh_installerApplication()
{
    mainWindow = nullptr;
}

const juce::String fh_installerApplication::getApplicationName()    { return "fh_installer"; }
const juce::String fh_installerApplication::getApplicationVersion() { return ProductInfo::installerVersion; }
bool fh_installerApplication::moreThanOneInstanceAllowed()          { return true; }

void fh_installerApplication::initialise (const juce::String&)
{
    // The command line is ignored.
    mainWindow = std::make_unique<MainWindow> (getApplicationName());
}

void fh_installerApplication::shutdown()
{
    mainWindow = nullptr;
}

void fh_installerApplication::anotherInstanceStarted (const juce::String&)
{
}

void fh_installerApplication::systemRequestedQuit()
{
    quit();
}

namespace
{
juce::Image renderAppIcon()
{
    auto drawable = juce::Drawable::createFromImageData (AppIconData::kitwarden_icon_svg,
                                                         (size_t) AppIconData::kitwarden_icon_svgSize);
    // In memory, not a GPU image: it only becomes the window's icon, and Wine's Direct2D draws nothing.
    juce::Image image (juce::Image::ARGB, 256, 256, true, juce::SoftwareImageType());

    if (drawable != nullptr)
    {
        juce::Graphics g (image);
        drawable->drawWithin (g, image.getBounds().toFloat(), juce::RectanglePlacement::centred, 1.0f);
    }

    return image;
}
} // namespace

fh_installerApplication::MainWindow::MainWindow (const juce::String& name)
    : DocumentWindow (name,
                      juce::Desktop::getInstance().getDefaultLookAndFeel()
                          .findColour (juce::ResizableWindow::backgroundColourId),
                      DocumentWindow::allButtons)
{
    setUsingNativeTitleBar (true);
    setContentOwned (std::make_unique<MainComponent>().release(), true);
    setResizable (true, true);
    // The stock limits, for the view instead of the framed window.
    const auto& stock = *getConstrainer();
    squareView.setSizeLimits (stock.getMinimumWidth(), stock.getMinimumHeight(), stock.getMaximumWidth(), stock.getMaximumHeight());
    squareView.setMinimumOnscreenAmounts (stock.getMinimumWhenOffTheTop(), stock.getMinimumWhenOffTheLeft(),
                                          stock.getMinimumWhenOffTheBottom(), stock.getMinimumWhenOffTheRight());
    setConstrainer (&squareView);
    setIcon (renderAppIcon());
    centreWithSize (getWidth(), getHeight());
    setVisible (true);

    if (auto* peer = getPeer())
    {
        if (platform::prefersSoftwareRendering())
            useSoftwareRenderer (*peer);

        // The constrainer squares only resizes the framework starts; the window manager's own
        // frame resizes follow the size hints.
        platform::keepWindowSquare (peer->getNativeHandle());
    }
}

void fh_installerApplication::MainWindow::useSoftwareRenderer (juce::ComponentPeer& peer)
{
    const auto index = peer.getAvailableRenderingEngines().indexOf ("Software Renderer");

    if (index >= 0)
        peer.setCurrentRenderingEngine (index);
}

fh_installerApplication::MainWindow::~MainWindow()
{
    setConstrainer (nullptr);

    if (auto* peer = getPeer())
        platform::stopKeepingWindowSquare (peer->getNativeHandle());
}

void fh_installerApplication::MainWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}
