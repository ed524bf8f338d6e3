// libFuzzer target: the change-log parser and the inline span builder on arbitrary bytes.
// Besides crashes and sanitizer reports it checks what must hold for any input.
#include "panels/ChangelogMarkup.h"

#include <cstdio>
#include <cstdlib>

static void fail (const char* why)
{
    std::fprintf (stderr, "invariant broken: %s\n", why);
    std::abort();
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto text = juce::String::fromUTF8 (reinterpret_cast<const char*> (data), (int) size);
    const auto entries = parseChangelog (text);

    const juce::Font regular (juce::FontOptions (12.0f)), bold (juce::FontOptions (12.0f, juce::Font::bold)),
        italic (juce::FontOptions (12.0f, juce::Font::italic));

    for (size_t i = 0; i < entries.size(); ++i)
    {
        const auto& e = entries[i];

        // Spacers are never doubled and never first; every other entry has text.
        if (e.kind == spacer && (i == 0 || entries[i - 1].kind == spacer || e.text.isNotEmpty()))
            fail ("spacer first, doubled or with text");
        if (e.kind == paragraph && e.text.isEmpty())
            fail ("empty paragraph");

        juce::AttributedString s;
        appendInlineMarkup (s, e.text, regular, bold, italic, juce::Colours::white);

        // Spans tile the text from start to end, and markup only ever removes characters.
        int expectedStart = 0;
        for (int k = 0; k < s.getNumAttributes(); ++k)
        {
            const auto range = s.getAttribute (k).range;
            if (range.getStart() != expectedStart || range.isEmpty())
                fail ("spans do not tile the text");
            expectedStart = range.getEnd();
        }

        if (expectedStart != s.getText().length() || s.getText().length() > e.text.length())
            fail ("spans do not end with the text, or markup added characters");
    }

    return 0;
}
