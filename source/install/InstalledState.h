#pragma once

#include "product/FormatSpec.h"

#include <juce_core/juce_core.h>

/** The result of scanning one format's bundle. */
struct FormatStatus
{
    bool exists = false;
    juce::String installedVersion;   // "3.2.1.0", or empty when absent or unreadable
    bool needsUpdate = false;
};

enum class FormatState
{
    installed,
    needsUpdate,
    notInstalled
};

namespace InstalledState
{
/** Looks at the disk as it is now: the bundle's existence and its binary's file version. */
FormatStatus scan (const juce::File& bundle, const juce::File& versionFile, const juce::String& productVersion);

/** The format's bundle in its install folder; empty when the format has no folder. */
juce::File bundleFile (const juce::File& formatFolder, FormatIndex format, const juce::String& productName);

/** The same scan for a format in its folder: bundle and version file from the format's row. */
FormatStatus scanFormat (const juce::File& formatFolder, FormatIndex format, const juce::String& productName,
                         const juce::String& productVersion);

FormatState stateOf (const FormatStatus& status);

/** The row's status line: "v3.2.1.0 INSTALLED", "v3.0.4.0 NEEDS UPDATE", "INSTALLED", "NOT INSTALLED". */
juce::String statusText (const FormatStatus& status);
} // namespace InstalledState
