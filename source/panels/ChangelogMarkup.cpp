#include "ChangelogMarkup.h"

#include "product/TextDecoding.h"

#include <cstring>

namespace
{
/** Text that came in as malformed UTF-8 decodes differently each time it is walked, and can
    walk the framework's string functions off its end: it is decoded afresh, once.
*/
juce::String withWellFormedUtf8 (const juce::String& text)
{
    // The stored bytes themselves: getNumBytesAsUTF8 measures by decoding, which malformed text skews.
    const auto* bytes = text.toRawUTF8();
    return TextDecoding::lenientUtf8 (bytes, std::strlen (bytes));
}
} // namespace

std::vector<ChangelogEntry> parseChangelog (const juce::String& text)
{
    juce::StringArray lines;
    lines.addLines (withWellFormedUtf8 (text));

    std::vector<ChangelogEntry> entries;
    bool sawTitle = false;

    static const std::pair<const char*, ChangelogEntryKind> prefixes[] = {
        { "### ", heading3 }, { "## ", heading2 }, { "# ", heading1 }, { "- ", bullet }, { "* ", bullet },
    };

    for (const auto& raw : lines)
    {
        const auto line = raw.trim();

        if (line.isEmpty())
        {
            if (sawTitle && ! entries.empty() && entries.back().kind != spacer)
                entries.push_back ({ spacer, {} });

            continue;
        }

        if (! sawTitle)
        {
            sawTitle = true;
            continue;
        }

        auto entry = ChangelogEntry { paragraph, line };

        for (const auto& [prefix, kind] : prefixes)
        {
            if (line.startsWith (prefix))
            {
                entry = { kind, line.substring ((int) std::strlen (prefix)) };
                break;
            }
        }

        entries.push_back (std::move (entry));
    }

    return entries;
}

void appendInlineMarkup (juce::AttributedString& target, const juce::String& text,
                         const juce::Font& regular, const juce::Font& bold, const juce::Font& italic,
                         juce::Colour colour)
{
    // Positions count characters, not bytes: work on the code points. Decoded here rather than
    // with String::toUTF32, which overruns its buffer on malformed UTF-8.
    std::vector<juce::juce_wchar> codePoints;
    for (auto p = text.getCharPointer(); ! p.isEmpty();)
        codePoints.push_back (p.getAndAdvance());
    codePoints.push_back (0);

    const auto* chars = codePoints.data();
    const int n = (int) codePoints.size() - 1;

    auto slice = [&] (int from, int to)
    {
        return juce::String (juce::CharPointer_UTF32 (chars + from), juce::CharPointer_UTF32 (chars + to));
    };

    auto findStar = [&] (int from, bool pair)
    {
        for (int k = from; k < n; ++k)
            if (chars[k] == '*' && (! pair || (k + 1 < n && chars[k + 1] == '*')))
                return k;
        return -1;
    };

    int pendingStart = 0;
    auto flushUpTo = [&] (int end)
    {
        if (end > pendingStart)
            target.append (slice (pendingStart, end), regular, colour);
    };

    int i = 0;
    while (i < n)
    {
        if (i + 1 < n && chars[i] == '*' && chars[i + 1] == '*')
        {
            if (const auto f = findStar (i + 2, true); f > i + 2)
            {
                flushUpTo (i);
                target.append (slice (i + 2, f), bold, colour);
                i = pendingStart = f + 2;
                continue;
            }
        }

        if (chars[i] == '*')
        {
            if (const auto e = findStar (i + 1, false); e > i + 1)
            {
                flushUpTo (i);
                target.append (slice (i + 1, e), italic, colour);
                i = pendingStart = e + 1;
                continue;
            }
        }

        ++i;
    }

    flushUpTo (n);
}
