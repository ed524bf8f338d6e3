#pragma once

#include <juce_core/juce_core.h>

#include <optional>

/** Screens a settings file before it reaches the XML parser.

    The shared file is a few hundred bytes holding one empty element. JUCE's parser recurses
    once per nesting level, expands DTD entities without limit, and loops for ever on a
    processing instruction inside an element that text follows, so a hostile file could
    overflow the stack, exhaust memory or hang the program at start-up; such files are refused
    unread, and the defaults serve.
*/
namespace SettingsFileGuard
{
constexpr juce::int64 maxFileBytes = 256 * 1024;
constexpr int maxNestingDepth = 32;

/** The text of a settings file's bytes when they are fit for the parser: decoded as Windows
    editors save it (UTF-16 or UTF-8 with their marks, UTF-8, else Windows-1252), then nothing
    findProblem refuses.
*/
std::optional<juce::String> screen (const void* data, size_t size);

/** Why a text is refused, or an empty string when it is fit to parse. */
juce::String findProblem (const juce::String& text);

/** The file's text when it is a regular file, small enough, decodes as screen() does and is
    free of what the parser cannot handle.
*/
std::optional<juce::String> loadIfSafe (const juce::File& file);
} // namespace SettingsFileGuard
