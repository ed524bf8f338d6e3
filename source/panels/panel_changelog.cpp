#include "panel_changelog.h"

#include "look/Palette.h"
#include "look/UnitGeometry.h"

namespace
{
struct BlockStyle
{
    float height;
    int regular, bold, italic;
    juce::Colour colour;
    float before, after, indent;
};

BlockStyle styleFor (ChangelogEntryKind kind)
{
    constexpr int plain = juce::Font::plain, b = juce::Font::bold, it = juce::Font::italic;

    switch (kind)
    {
        case heading1:  return { 5.0f, b, b, b | it, colour_white, 1.5f, 0.6f, 0.0f };
        case heading2:  return { 4.0f, b, b, b | it, colour_white, 1.0f, 0.5f, 0.0f };
        case heading3:  return { 3.5f, b, b, b | it, colour_white, 0.8f, 0.4f, 0.0f };
        case bullet:    return { 3.0f, plain, b, it, colour_grey, 0.0f, 0.3f, 4.0f };
        case paragraph:
        case spacer:    break;
    }

    return { 3.0f, plain, b, it, colour_grey, 0.0f, 0.3f, 0.0f };
}

juce::Font styled (float height, int flags)
{
    return juce::Font (juce::FontOptions (height, flags));
}
} // namespace

panel_changelog::ChangelogContent::ChangelogContent (const std::vector<ChangelogEntry>* e) : entries (e) {}
panel_changelog::ChangelogContent::~ChangelogContent() = default;

void panel_changelog::ChangelogContent::layoutBlocks (int width, float u)
{
    contentWidth = width;
    unit = u;
    blocks.clear();
    auto y = u;

    for (const auto& entry : *entries)
    {
        if (entry.kind == spacer)
        {
            blocks.push_back ({ spacer, {}, y, 1.5f * u, 0.0f });
            y += 1.5f * u;
            continue;
        }

        const auto style = styleFor (entry.kind);
        const auto h = style.height * u;
        ChangelogBlock block { entry.kind, {}, 0.0f, 0.0f, style.indent * u };
        block.text.setJustification (juce::Justification::topLeft);
        block.text.setWordWrap (juce::AttributedString::byWord);
        block.text.setLineSpacing (0.0f);
        appendInlineMarkup (block.text, entry.text, styled (h, style.regular), styled (h, style.bold),
                            styled (h, style.italic), style.colour);

        juce::TextLayout layout;
        layout.createLayout (block.text, (float) contentWidth - block.indent - u, 10000000.0f);
        block.top = y + style.before * u;
        block.height = layout.getHeight();
        y = block.top + block.height + style.after * u;
        blocks.push_back (std::move (block));
    }

    setBounds (getX(), getY(), contentWidth, juce::roundToInt (y + u));
}

void panel_changelog::ChangelogContent::paint (juce::Graphics& g)
{
    const auto u = unit;

    for (const auto& block : blocks)
    {
        if (block.kind == spacer)
            continue;

        if (block.kind == bullet)
        {
            g.setColour (colour_grey);
            g.setFont (styled (3.0f * u, juce::Font::bold));
            g.drawText (juce::String::charToString ((juce::juce_wchar) 0x2022),
                        roundedBounds (0.5f * u, block.top, 3.0f * u, 3.5f * u),
                        juce::Justification::topLeft, false);
        }

        block.text.draw (g, { block.indent, block.top, (float) contentWidth - block.indent - u, block.height + u });
    }
}

panel_changelog::panel_changelog (const juce::String& changelogText, const juce::String& name)
    : productName (name)
{
    entries = parseChangelog (changelogText);
    content = std::make_unique<ChangelogContent> (&entries);

    viewport = std::make_unique<juce::Viewport>();
    addAndMakeVisible (*viewport);
    viewport->setViewedComponent (content.get(), false);
    viewport->setScrollBarsShown (true, false, false, false);

    // Above the viewport, as when it was made after it.
    closeButton->toFront (false);
}

panel_changelog::~panel_changelog() = default;

void panel_changelog::resized()
{
    viewport->setBounds (contentBounds (unit));
    content->layoutBlocks (viewport->getMaximumVisibleWidth(), unit);
    layoutChrome();
}

void panel_changelog::paint (juce::Graphics& g)
{
    paintChrome (g, "CHANGELOG - " + productName.toUpperCase());
}
