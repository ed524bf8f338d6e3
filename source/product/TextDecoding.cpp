#include "TextDecoding.h"

#include <cstring>
#include <vector>

namespace TextDecoding
{
namespace
{
/** The code point starting at bytes[i] and its length in bytes; a length of 0 for a byte that
    starts no well-formed sequence.
*/
std::pair<juce::juce_wchar, size_t> nextCodePoint (const uint8_t* bytes, size_t size, size_t i)
{
    const auto lead = bytes[i];

    if (lead < 0x80)
        return { (juce::juce_wchar) lead, lead == 0 ? 0u : 1u };

    size_t more = 0;
    uint32_t c = 0, smallest = 0;

    if ((lead & 0xe0) == 0xc0)      { more = 1; c = lead & 0x1fu; smallest = 0x80; }
    else if ((lead & 0xf0) == 0xe0) { more = 2; c = lead & 0x0fu; smallest = 0x800; }
    else if ((lead & 0xf8) == 0xf0) { more = 3; c = lead & 0x07u; smallest = 0x10000; }
    else                            return { 0, 0 };   // a continuation byte or 0xf8..0xff leads

    if (size - i - 1 < more)
        return { 0, 0 };

    for (size_t k = 1; k <= more; ++k)
    {
        if ((bytes[i + k] & 0xc0) != 0x80)
            return { 0, 0 };

        c = (c << 6) | (bytes[i + k] & 0x3fu);
    }

    if (c < smallest || c > 0x10ffff || (c >= 0xd800 && c <= 0xdfff))
        return { 0, 0 };

    return { (juce::juce_wchar) c, more + 1 };
}

juce::String fromCodePoints (std::vector<juce::juce_wchar>& codePoints)
{
    codePoints.push_back (0);
    return juce::String (juce::CharPointer_UTF32 (codePoints.data()));
}

std::optional<juce::String> utf16 (const uint8_t* bytes, size_t size, bool bigEndian)
{
    if (size % 2 != 0)
        return std::nullopt;

    std::vector<juce::juce_wchar> codePoints;
    codePoints.reserve (size / 2 + 1);

    auto unitAt = [&] (size_t i)
    {
        return (uint32_t) (bigEndian ? (bytes[i] << 8) | bytes[i + 1] : (bytes[i + 1] << 8) | bytes[i]);
    };

    for (size_t i = 0; i < size; i += 2)
    {
        auto c = unitAt (i);

        if (c >= 0xd800 && c <= 0xdbff)
        {
            if (i + 3 >= size)
                return std::nullopt;

            const auto low = unitAt (i + 2);

            if (low < 0xdc00 || low > 0xdfff)
                return std::nullopt;

            c = 0x10000 + ((c - 0xd800) << 10) + (low - 0xdc00);
            i += 2;
        }
        else if ((c >= 0xdc00 && c <= 0xdfff) || c == 0)
        {
            return std::nullopt;
        }

        codePoints.push_back ((juce::juce_wchar) c);
    }

    return fromCodePoints (codePoints);
}
} // namespace

std::optional<juce::String> strictUtf8 (const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*> (data);
    std::vector<juce::juce_wchar> codePoints;
    codePoints.reserve (size + 1);

    for (size_t i = 0; i < size;)
    {
        const auto [c, length] = nextCodePoint (bytes, size, i);

        if (length == 0)
            return std::nullopt;

        codePoints.push_back (c);
        i += length;
    }

    return fromCodePoints (codePoints);
}

juce::String lenientUtf8 (const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*> (data);
    std::vector<juce::juce_wchar> codePoints;
    codePoints.reserve (size + 1);

    for (size_t i = 0; i < size;)
    {
        const auto [c, length] = nextCodePoint (bytes, size, i);
        codePoints.push_back (length == 0 ? (juce::juce_wchar) 0xfffd : c);
        i += length == 0 ? 1 : length;
    }

    return fromCodePoints (codePoints);
}

std::optional<juce::String> windowsEditorText (const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*> (data);

    if (size >= 2 && ((bytes[0] == 0xff && bytes[1] == 0xfe) || (bytes[0] == 0xfe && bytes[1] == 0xff)))
        return utf16 (bytes + 2, size - 2, bytes[0] == 0xfe);

    if (size >= 3 && std::memcmp (bytes, "\xef\xbb\xbf", 3) == 0)
        return strictUtf8 (bytes + 3, size - 3);

    if (auto text = strictUtf8 (bytes, size))
        return text;

    // The ANSI code page of western Windows, as older Notepad saves.
    if (std::memchr (bytes, 0, size) != nullptr)
        return std::nullopt;

    std::vector<juce::juce_wchar> codePoints;
    codePoints.reserve (size + 1);

    for (size_t i = 0; i < size; ++i)
        codePoints.push_back (juce::CharacterFunctions::getUnicodeCharFromWindows1252Codepage (bytes[i]));

    return fromCodePoints (codePoints);
}
} // namespace TextDecoding
