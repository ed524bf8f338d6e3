#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

/** The markdown subset of the release notes: headings, bullets, paragraphs, blank-line
    spacing, and bold and italic spans.
*/
enum ChangelogEntryKind
{
    heading1 = 0,
    heading2 = 1,
    heading3 = 2,
    paragraph = 3,
    bullet = 4,
    spacer = 5
};

struct ChangelogEntry
{
    ChangelogEntryKind kind;
    juce::String text;   // without its markup prefix; empty for a spacer
};

/** One entry per line that shows; the document's first non-empty line (its title) is dropped. */
std::vector<ChangelogEntry> parseChangelog (const juce::String& text);

/** Appends text to target, turning **bold** and *italic* spans into runs of those fonts. */
void appendInlineMarkup (juce::AttributedString& target, const juce::String& text,
                         const juce::Font& regular, const juce::Font& bold, const juce::Font& italic,
                         juce::Colour colour);
