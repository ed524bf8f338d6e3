#pragma once

#include <juce_core/juce_core.h>

/** Reads the fixed file version (VS_FIXEDFILEINFO) of a Windows PE binary.

    Only the headers, the section table and the few bytes of the resource tree that lead to the
    version resource are read, each with a bounded read, so the cost does not grow with the
    binary. A missing, truncated or malformed file gives an empty string.
*/
class PeVersionReader
{
public:
    /** "HIWORD(MS).LOWORD(MS).HIWORD(LS).LOWORD(LS)" of the file version, e.g. "3.2.1.0". */
    static juce::String readFileVersion (const juce::File& binary);

    /** The same over any seekable stream (tests and benchmarks count what is read). */
    static juce::String readFileVersion (juce::InputStream& stream);

    /** What a build checks of a plug-in binary before it ships. */
    struct Image
    {
        bool isPe = false;
        uint16_t machine = 0;          // 0x8664 x86-64, 0x14c x86, 0xaa64 ARM64
        bool isDll = false;
        bool isPe32Plus = false;
        juce::StringArray exports;     // exported names
        juce::String fileVersion;
        uint32_t checksumOffset = 0;   // where the optional header's checksum lies in the file
        uint32_t securityEntryOffset = 0;
        uint32_t certificatesOffset = 0, certificatesSize = 0;   // the Authenticode signature, if any
    };

    static Image readImage (juce::InputStream& stream);
};

namespace platform
{
/** The fixed file version of a Windows binary ("3.2.1.0"), or an empty string when it has none.
    Read by PeVersionReader on every edition.
*/
juce::String binaryFileVersion (const juce::File& file);
} // namespace platform
