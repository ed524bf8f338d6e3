#include "ChangelogMarkup.h"

#include <cstring>

namespace
{
/** Text that came in as malformed UTF-8 decodes differently each time it is walked, and can
    walk the framework's string functions off its end; every byte that is not part of a
    well-formed sequence becomes U+FFFD here, once.
*/
juce::String withWellFormedUtf8 (const juce::String& text)
{
    const auto* bytes = reinterpret_cast<const uint8_t*> (text.toRawUTF8());
    // The stored bytes themselves: getNumBytesAsUTF8 measures by decoding, which malformed text skews.
    const auto size = std::strlen (text.toRawUTF8());

    // Not CharPointer_UTF8::isValidString: it lets a sequence cut off by the end through, and
    // the framework's own iteration then steps over the terminating zero.
    std::vector<juce::juce_wchar> codePoints;
    codePoints.reserve (size + 1);

    for (size_t i = 0; i < size;)
    {
        const auto b = bytes[i];
        const int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        uint32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1fu) : extra == 2 ? (b & 0x0fu) : (b & 0x07u);
        bool ok = extra >= 0 && i + (size_t) extra < size;

        for (int k = 1; ok && k <= extra; ++k)
        {
            ok = (bytes[i + (size_t) k] & 0xc0) == 0x80;
            c = (c << 6) | (bytes[i + (size_t) k] & 0x3fu);
        }

        static const uint32_t smallest[] = { 0, 0x80, 0x800, 0x10000 };
        ok = ok && c >= smallest[extra < 0 ? 0 : extra] && c <= 0x10ffff && (c < 0xd800 || c > 0xdfff) && c != 0;

        codePoints.push_back (ok ? (juce::juce_wchar) c : (juce::juce_wchar) 0xfffd);
        i += ok ? (size_t) extra + 1 : 1;
    }

    codePoints.push_back (0);
    return juce::String (juce::CharPointer_UTF32 (codePoints.data()));
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
