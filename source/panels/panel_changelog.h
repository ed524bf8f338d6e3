#pragma once

#include "ChangelogMarkup.h"
#include "PanelChrome.h"

/** One laid-out entry of the release notes, in content coordinates. */
struct ChangelogBlock
{
    ChangelogEntryKind kind;
    juce::AttributedString text;
    float top = 0.0f;
    float height = 0.0f;
    float indent = 0.0f;
};

/** Laid over the main view: the release notes, rendered and scrolling. */
class panel_changelog : public PanelChrome
{
public:
    panel_changelog (const juce::String& changelogText, const juce::String& productName);
    ~panel_changelog() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    /** The scrolled component: it draws the blocks the panel has it lay out. */
    class ChangelogContent : public juce::Component
    {
    public:
        explicit ChangelogContent (const std::vector<ChangelogEntry>* entries);
        ~ChangelogContent() override;

        void paint (juce::Graphics& g) override;

        /** Measures every entry at this width and unit, and sizes the content to hold them. */
        void layoutBlocks (int width, float unit);

        const std::vector<ChangelogBlock>& getBlocks() const noexcept { return blocks; }

    private:
        const std::vector<ChangelogEntry>* entries;
        std::vector<ChangelogBlock> blocks;
        int contentWidth = 0;
        float unit = 9.0f;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ChangelogContent)
    };

    const std::vector<ChangelogEntry>& getEntries() const noexcept { return entries; }
    const ChangelogContent& getContent() const noexcept            { return *content; }
    const juce::Viewport& getViewport() const noexcept             { return *viewport; }

private:
    juce::String productName;
    std::vector<ChangelogEntry> entries;
    std::unique_ptr<ChangelogContent> content;
    std::unique_ptr<juce::Viewport> viewport;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (panel_changelog)
};
