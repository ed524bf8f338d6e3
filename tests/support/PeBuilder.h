#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>

namespace testing_support
{
struct PeOptions
{
    bool pe32Plus = true;
    bool withResources = true;
    uint32_t resourceType = 16;      // RT_VERSION
    uint16_t version[4] { 3, 2, 1, 0 };
    uint32_t resourceName = 1;       // VS_VERSION_INFO
    uint16_t machine = 0x8664;
    bool dll = true;
    juce::StringArray exports;       // exported names, in the export directory
};

/** The smallest PE image that carries a version resource: one .rsrc section. */
juce::MemoryBlock makePe (const PeOptions& options);

/** A plug-in binary of version 3.minor.patch.0 at the path, its folders made. */
void putBinaryWithVersion (const juce::File& binary, uint16_t minor, uint16_t patch);

void put16 (juce::MemoryBlock& b, size_t at, uint32_t v);
void put32 (juce::MemoryBlock& b, size_t at, uint32_t v);
} // namespace testing_support
