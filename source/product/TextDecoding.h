#pragma once

#include <juce_core/juce_core.h>

#include <optional>

/** Bytes from files into text, one decoder for every text the program reads. */
namespace TextDecoding
{
/** The text when the bytes are well-formed UTF-8: no stray or missing continuation bytes, no
    overlong forms, no surrogates, nothing past U+10FFFF, no NUL. JUCE's own check lets some of
    these through, and its string functions then read past the end of their buffer.
*/
std::optional<juce::String> strictUtf8 (const void* data, size_t size);

/** The same decoding, with every byte that is not part of a well-formed sequence (and NUL)
    made U+FFFD, once, so the text decodes the same however often it is walked.
*/
juce::String lenientUtf8 (const void* data, size_t size);

/** A text file as Windows editors save it, decoded the way JUCE's createStringFromData reads
    it: UTF-16 after its byte-order mark, else UTF-8 (its mark allowed), else Windows-1252.
    Nothing when the UTF-16 is broken (an odd length, a lone surrogate) or any form holds NUL.
*/
std::optional<juce::String> windowsEditorText (const void* data, size_t size);
} // namespace TextDecoding
