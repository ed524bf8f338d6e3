// The extras panels laid over the view: opening them and keeping them covering it.
#include "MainComponent.h"

#include "product/TextDecoding.h"

#include "BinaryData.h"
#include "panels/LicenceAgreement.h"
#include "panels/panel_changelog.h"
#include "panels/panel_eula.h"
#include "panels/panel_support.h"

template <typename Panel>
void MainComponent::showPanel (std::unique_ptr<Panel>& member, std::unique_ptr<Panel> panel)
{
    // The old panel of this kind goes now, after the new one exists.
    member = std::move (panel);
    addAndMakeVisible (*member);
    member->setUnit (unit);
    member->setBounds (getX(), getY(), getWidth(), getHeight());
    member->setAlwaysOnTop (true);
}

void MainComponent::openPanel (const juce::String& name)
{
    if (name == "EULA")
        showPanel (eulaPanel, std::make_unique<panel_eula> (licenceAgreementText));
    else if (name == "SUPPORT")
        showPanel (supportPanel, std::make_unique<panel_support> (settingsFolder, productName, productVersion));
    else if (name == "CHANGES")
        showPanel (changelogPanel, std::make_unique<panel_changelog> (
                       TextDecoding::lenientUtf8 (BinaryData::CHANGELOG_md, (size_t) BinaryData::CHANGELOG_mdSize),
                       productName));
}

void MainComponent::relayoutPanels()
{
    auto relayout = [this] (auto& panel)
    {
        if (panel == nullptr)
            return;

        panel->setUnit (unit);
        panel->setBounds (getX(), getY(), getWidth(), getHeight());
        panel->setAlwaysOnTop (true);
    };

    relayout (eulaPanel);
    relayout (supportPanel);
    relayout (changelogPanel);
}
