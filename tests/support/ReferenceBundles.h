#pragma once

#include "product/FormatSpec.h"

#include <juce_core/juce_core.h>

#include <map>

namespace testing_support
{
/** The archive of a format, as embedded. */
const char* payloadData (FormatIndex format);
size_t payloadSize (FormatIndex format);
juce::String bundleName (FormatIndex format);

/** Listing (as listTree gives it) of the format's bundle extracted by juce::ZipFile: an
    independent reference for what an install must leave on disk.
*/
std::map<juce::String, juce::String> referenceBundleListing (FormatIndex format);

/** Puts an "old" bundle in place: the shipped one plus a stray file and a changed binary. */
void putOldBundle (const juce::File& formatFolder, FormatIndex format);
} // namespace testing_support
