#include "SettingsFileGuard.h"

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
            if (juce::CharacterFunctions::compareUpTo (next, juce::CharPointer_ASCII ("!--"), 3) == 0)
            {
                auto end = juce::CharacterFunctions::find (p, juce::CharPointer_ASCII ("-->"));
                if (end.isEmpty())
                    return "unterminated comment";
                p = end + 3;
                continue;
            }

            if (juce::CharacterFunctions::compareUpTo (next, juce::CharPointer_ASCII ("![CDATA["), 8) == 0)
            {
                auto end = juce::CharacterFunctions::find (p, juce::CharPointer_ASCII ("]]>"));
                if (end.isEmpty())
                    return "unterminated CDATA";
                p = end + 3;
                continue;
            }

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
