#include "ReferenceBundles.h"

#include "TestSupport.h"

namespace testing_support
{
const char* payloadData (FormatIndex format)
{
    return FormatSpec::of (format).payloadData;
}

size_t payloadSize (FormatIndex format)
{
    return FormatSpec::of (format).payloadSize;
}

juce::String bundleName (FormatIndex format)
{
    return juce::String ("QuernfieldReverb3") + formatExtensions[format];
}

static void extractWithJuce (FormatIndex format, const juce::File& into)
{
    juce::MemoryInputStream source (payloadData (format), payloadSize (format), false);
    juce::ZipFile zip (source);

    for (int i = 0; i < zip.getNumEntries(); ++i)
        zip.uncompressEntry (i, into, true);
}

std::map<juce::String, juce::String> referenceBundleListing (FormatIndex format)
{
    static std::map<juce::String, juce::String> cache[numFormats];

    if (cache[format].empty())
    {
        TempFolder temp;
        extractWithJuce (format, temp.get());
        cache[format] = listTree (temp.get());
    }

    return cache[format];
}

void putOldBundle (const juce::File& formatFolder, FormatIndex format)
{
    formatFolder.createDirectory();
    extractWithJuce (format, formatFolder);
    const auto bundle = formatFolder.getChildFile (bundleName (format));

    if (bundle.isDirectory())
        bundle.getChildFile ("Contents/left-over.txt").replaceWithText ("from an older release");

    const char* binary[] = { "Contents/x86_64-win/QuernfieldReverb3.vst3", "", "Contents/x64/QuernfieldReverb3.aaxplugin" };
    const auto file = juce::String (binary[format]).isEmpty() ? bundle : bundle.getChildFile (binary[format]);
    file.replaceWithText ("an older binary");
}
} // namespace testing_support
