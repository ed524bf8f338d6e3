#include "SettingsFileGuard.h"

#include <cstring>

namespace SettingsFileGuard
{
juce::String findProblem (const juce::String& text)
{
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
            return {};   // not well-formed; the parser rejects it without recursing

        if (*(end - 1) != '/' && ++depth > maxNestingDepth)
            return "nested too deeply";

        p = end + 1;
    }

    return {};
}

std::optional<juce::String> loadIfSafe (const juce::File& file)
{
    const auto size = file.getSize();

    if (size <= 0 || size > maxFileBytes)
        return std::nullopt;

    auto text = file.loadFileAsString();

    if (findProblem (text).isNotEmpty())
        return std::nullopt;

    return text;
}
} // namespace SettingsFileGuard
