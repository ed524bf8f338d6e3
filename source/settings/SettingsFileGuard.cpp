#include "SettingsFileGuard.h"

#include "platform/FileChecks.h"
#include "product/TextDecoding.h"

#include <cstring>

namespace SettingsFileGuard
{
std::optional<juce::String> screen (const void* data, size_t size)
{
    auto text = TextDecoding::windowsEditorText (data, size);

    if (! text.has_value() || findProblem (*text).isNotEmpty())
        return std::nullopt;

    return text;
}

namespace
{
/** Where the first element starts, past the prolog's declarations and comments; -1 for none. */
int firstElementStart (const juce::String& text)
{
    for (int i = text.indexOfChar ('<'); i >= 0; i = text.indexOfChar (i + 1, '<'))
    {
        const auto next = text[i + 1];

        if (next == '?' || next == '!')
        {
            const auto end = text.indexOf (i, next == '?' ? "?>" : ">");

            if (end < 0)
                return -1;

            i = end;
            continue;
        }

        return i;
    }

    return -1;
}

/** Whether every '&' begins a whole reference: a name, "#" and digits or "#x" and hex digits,
    then ';'. JUCE's reader runs past the end of its text on one that is cut off.
*/
bool referencesAreWhole (const juce::String& text)
{
    for (int i = text.indexOfChar ('&'); i >= 0; i = text.indexOfChar (i + 1, '&'))
    {
        int j = i + 1;
        const bool numeric = text[j] == '#';
        const bool hex = numeric && text[j + 1] == 'x';
        j += numeric ? (hex ? 2 : 1) : 0;
        const auto start = j;

        for (; j < text.length() && j - start < 32; ++j)
        {
            const auto c = text[j];
            const bool ok = hex ? juce::CharacterFunctions::getHexDigitValue (c) >= 0
                                : (numeric ? juce::CharacterFunctions::isDigit (c)
                                           : juce::CharacterFunctions::isLetterOrDigit (c) || c == '_' || c == '.' || c == '-');
            if (! ok)
                break;
        }

        if (j == start || text[j] != ';')
            return false;
    }

    return true;
}
} // namespace

juce::String findProblem (const juce::String& text)
{
    // Processing instructions belong in the prolog, where the XML declaration goes. JUCE's parser
    // skips them as if they were white space anywhere, and inside an element, with text after
    // one, it goes round the same spot for ever.
    if (const auto root = firstElementStart (text); root >= 0 && text.indexOf (root, "<?") >= 0)
        return "processing instruction after the prolog";

    if (! referencesAreWhole (text))
        return "malformed reference";

    int depth = 0;
    auto p = text.getCharPointer();

    while (! p.isEmpty())
    {
        if (*p != '<')
        {
            ++p;
            continue;
        }

        auto next = p + 1;

        if (*next == '!')
        {
            // Comments and CDATA are skipped whole: nothing inside them nests.
            struct Skipped { const char* opener; const char* closer; const char* unterminated; };
            static constexpr Skipped skipped[] = { { "!--", "-->", "unterminated comment" },
                                                   { "![CDATA[", "]]>", "unterminated CDATA" } };
            bool wasSkipped = false;

            for (const auto& kind : skipped)
            {
                const auto openerLength = (int) std::strlen (kind.opener);

                if (juce::CharacterFunctions::compareUpTo (next, juce::CharPointer_ASCII (kind.opener), openerLength) != 0)
                    continue;

                auto end = juce::CharacterFunctions::find (p, juce::CharPointer_ASCII (kind.closer));
                if (end.isEmpty())
                    return kind.unterminated;

                p = end + (int) std::strlen (kind.closer);
                wasSkipped = true;
                break;
            }

            if (wasSkipped)
                continue;

            // DOCTYPE, ENTITY and the rest: the file never needs them, and entity expansion is unbounded.
            return "document type declaration";
        }

        if (*next == '?')
        {

            auto end = juce::CharacterFunctions::find (p, juce::CharPointer_ASCII ("?>"));
            if (end.isEmpty())
                return "unterminated processing instruction";
            p = end + 2;
            continue;
        }

        if (*next == '/')
        {
            --depth;
            ++p;
            continue;
        }

        // A start tag: it nests unless it closes itself. Attribute values cannot hold '<' or '>'
        // in well-formed XML, so the first '>' ends the tag.
        auto end = juce::CharacterFunctions::find (p, juce::CharPointer_ASCII (">"));
        if (end.isEmpty())
            return "unterminated tag";

        if (*(end - 1) != '/' && ++depth > maxNestingDepth)
            return "nested too deeply";

        p = end + 1;
    }

    // Every element closed, as in any file a writer finished: JUCE's reader is least careful
    // on text that simply stops.
    if (depth != 0)
        return "unclosed element";

    return {};
}

std::optional<juce::String> loadIfSafe (const juce::File& file)
{
    auto stream = platform::openRegularFile (file);

    if (stream == nullptr)
        return std::nullopt;

    const auto size = stream->getTotalLength();

    if (size <= 0 || size > maxFileBytes)
        return std::nullopt;

    juce::MemoryBlock bytes;

    if (stream->readIntoMemoryBlock (bytes, (ssize_t) size) != (size_t) size)
        return std::nullopt;

    return screen (bytes.getData(), bytes.getSize());
}
} // namespace SettingsFileGuard
