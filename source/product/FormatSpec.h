#pragma once

#include <juce_core/juce_core.h>

#include <array>

/** The one index of the plug-in formats; every per-format array and loop uses it. */
enum FormatIndex
{
    formatVst3 = 0,
    formatClap = 1,
    formatAax = 2,
    numFormats = 3
};

/** The formats in index order, for loops over all of them. */
inline constexpr std::array<FormatIndex, numFormats> allFormats { formatVst3, formatClap, formatAax };

/** Everything the installer knows about one plug-in format, in one row. */
struct FormatSpec
{
    const char* name;                // "VST3": the button's name and the row's label
    const char* extension;           // ".vst3": the bundle is the product name plus this
    const char* defaultFolder;       // below ProductInfo::defaultFormatRoot
    const char* settingsAttribute;   // the settings file's attribute for the format's folder
    const char* binaryFolder;        // where in the bundle its binary lies; empty when the bundle is the binary
    const char* payloadData;         // the embedded zip archive
    size_t payloadSize;

    juce::String bundleName (const juce::String& productName) const;

    /** The binary whose file version tells the installed version: it bears the bundle's name. */
    juce::File versionFile (const juce::File& bundle) const;

    /** The format's row. */
    static const FormatSpec& of (FormatIndex format);
};

// The static string tables of the view; formatNames carries two formats that are never installed.
extern const juce::StringArray extrasNames;
extern const juce::StringArray formatNames;
extern const juce::StringArray formatExtensions;
