// Layout pass, hover help and modifier tracking.
#include "MainComponent.h"

#include "look/UnitGeometry.h"
#include "product/ProductInfo.h"
#include "platform/Keyboard.h"

void MainComponent::resized()
{
    unit = (float) getWidth() * 0.01f;
    const auto u = unit;

    auto x = 4.0f * u;
    for (auto& button : extrasButtons)
    {
        button->setBounds (roundedBounds (x, 73.5f * u, 10.0f * u, 10.0f * u));
        x += 11.5f * u;
    }

    installButton->setBounds (roundedBounds (86.0f * u, 73.5f * u, 10.0f * u, 10.0f * u));
    selectAllButton->setBounds (roundedBounds (77.0f * u, 22.0f * u, 19.0f * u, 5.0f * u));
    // The formats the product carries fill the row slots in order; the others have no row.
    const std::pair<float, float> slots[] = { { 4.0f, 30.0f }, { 51.0f, 30.0f }, { 4.0f, 42.0f } };
    size_t slot = 0;

    for (auto format : allFormats)
    {
        auto& button = *formatButtons[(size_t) format];

        if (! ProductInfo::carries (format))
        {
            button.setBounds ({});
            continue;
        }

        button.setBounds (roundedBounds (slots[slot].first * u, slots[slot].second * u, 45.0f * u, 10.0f * u));
        ++slot;
    }

    helpLabel->setFont (font (3.0f));
    helpLabel->setBounds (roundedBounds (4.0f * u, 90.0f * u, 92.0f * u, 3.0f * u));

    relayoutPanels();
}

std::optional<juce::String> MainComponent::hoverText (const juce::Button& button) const
{
    static const std::pair<const char*, juce::String> extrasHelp[] = {
        { "EULA", "Click to read End-User License Agreement" },
        { "MANUAL", "Click to open product manual in your web browser" },
        { "WEBSITE", "Click to open product page on the " + juce::String::fromUTF8 (ProductInfo::makerName) + " website" },
        { "SUPPORT", "Email and Discord support" },
        { "CHANGES", "Click to view release notes" },
    };

    const auto name = button.getName();

    for (const auto& [buttonName, text] : extrasHelp)
        if (name == buttonName)
            return text;

    if (const auto format = formatNames.indexOf (name); format >= 0 && format < numFormats)
    {
        const auto bundle = bundleFile ((FormatIndex) format);
        return formatHoverText ((FormatIndex) format, bundle != juce::File() && bundle.exists());
    }

    if (name == "INSTALL")
        return juce::String ("Click to install selected. Shift-click to uninstall selected");

    return std::nullopt;
}

void MainComponent::buttonStateChanged (juce::Button* button)
{
    if (! button->isOver())
    {
        if (button == installButton.get())
            installNotice.clear();

        helpLabel->setText ({}, juce::dontSendNotification);
        return;
    }

    // A word on an empty selection stays until the mouse leaves INSTALL.
    if (button == installButton.get() && installNotice.isNotEmpty())
    {
        helpLabel->setText (installNotice, juce::dontSendNotification);
        return;
    }

    if (const auto text = hoverText (*button))
        helpLabel->setText (*text, juce::dontSendNotification);
}

juce::String MainComponent::formatHoverText (FormatIndex format, bool bundleExists) const
{
    if (bundleExists)
        return "Select to update " + formatNames[format] + " to " + productVersion;

    return "Select to install " + formatNames[format];
}

void MainComponent::describeFormatButton (FormatIndex format)
{
    auto& button = *formatButtons[(size_t) format];

    // Asked when a screen reader asks, so the words follow the disk without paint touching them.
    button.liveTitle = [this, format] { return formatNames[format] + " " + statusText (scanFormat (format)); };
    button.liveDescription = [this, &button] { return hoverText (button).value_or (juce::String()); };
}

void MainComponent::setShiftHeld (bool held)
{
    shiftHeld = held;

    // While it reads as held, the system is asked again: the release may come with no event.
    if (held)
        shiftWatch.startTimer (100);
    else
        shiftWatch.stopTimer();
}

void MainComponent::refreshShift (const juce::ModifierKeys& modifiers)
{
    // X11 mouse events update the modifiers without a modifierKeysChanged call, so a Shift
    // released in another window would otherwise still read as held here.
    if (modifiers.isShiftDown() == shiftHeld)
        return;

    setShiftHeld (modifiers.isShiftDown());
    lastModifierFlags = (lastModifierFlags & ~1) | (shiftHeld ? 1 : 0);
    repaint();
}

// JUCE may see no enter or move when the pointer comes back to where it left, and then a key
// released elsewhere goes unnoticed: so the mouse and the focus ask the system itself. A press
// carries the keys as they were at that moment.
void MainComponent::refreshShiftFromSystem()
{
    if (const auto held = platform::isShiftKeyDown())
        refreshShift (*held ? juce::ModifierKeys (juce::ModifierKeys::shiftModifier) : juce::ModifierKeys());
}

void MainComponent::mouseEnter (const juce::MouseEvent&)   { refreshShiftFromSystem(); }
void MainComponent::mouseMove (const juce::MouseEvent&)    { refreshShiftFromSystem(); }
void MainComponent::mouseDown (const juce::MouseEvent& e)  { refreshShift (e.mods); }

void MainComponent::globalFocusChanged (juce::Component* focusedComponent)
{
    if (focusedComponent != nullptr && focusedComponent->getTopLevelComponent() == getTopLevelComponent())
        refreshShiftFromSystem();
}

void MainComponent::modifierKeysChanged (const juce::ModifierKeys& modifiers)
{
    const int flags = modifiers.getRawFlags() & 0xf;
    const int changed = flags ^ lastModifierFlags;

    if ((changed & 1) != 0)
        setShiftHeld ((flags & 1) != 0);

    if (changed != 0)
        repaint();

    lastModifierFlags = flags;
}
