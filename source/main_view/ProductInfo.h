#pragma once

#include <juce_core/juce_core.h>

/** The one index of the plug-in formats; every per-format array and loop uses it. */
enum FormatIndex
{
    formatVst3 = 0,
    formatClap = 1,
    formatAax = 2,
    numFormats = 3
};

extern const juce::StringArray extrasNames;
extern const juce::StringArray formatNames;
extern const juce::StringArray formatExtensions;

/** What the installer carries: the product, its version and where it lives on the web. */
namespace ProductInfo
{
extern const char* const rawProductName;
extern const char* const productVersion;
extern const char* const platformSuffix;
extern const char* const productPageUrl;
extern const char* const installerVersion;
extern const char* const defaultFormatRoot;

/** Default install folder of each format, below defaultFormatRoot. */
extern const char* const defaultFormatFolders[numFormats];

/** The product name as shown and as its bundles are named: every "_" becomes a space. */
juce::String displayProductName();
} // namespace ProductInfo
