#include "FormatSpec.h"

#include "BinaryData.h"

namespace
{
// The embedded arrays are constant-initialised, so this table may be read from any initialiser.
const FormatSpec formatTable[numFormats] = {
    { "VST3", ".vst3", "VST3", "VST3_Path", "Contents/x86_64-win",
      BinaryData::vst3_zip, (size_t) BinaryData::vst3_zipSize },
    { "CLAP", ".clap", "CLAP", "CLAP_Path", "",
      BinaryData::clap_zip, (size_t) BinaryData::clap_zipSize },
    { "AAX", ".aaxplugin", "Avid/Audio/Plug-Ins", "AAX_Path", "Contents/x64",
      BinaryData::aax_zip, (size_t) BinaryData::aax_zipSize },
};
} // namespace

const FormatSpec& FormatSpec::of (FormatIndex format)
{
    jassert (format >= 0 && format < numFormats);
    return formatTable[format];
}

juce::String FormatSpec::bundleName (const juce::String& productName) const
{
    return productName + extension;
}

juce::File FormatSpec::versionFile (const juce::File& bundle) const
{
    if (bundle == juce::File() || *binaryFolder == 0)
        return bundle;

    return bundle.getChildFile (binaryFolder).getChildFile (bundle.getFileName());
}

const juce::StringArray extrasNames { "EULA", "MANUAL", "WEBSITE", "SUPPORT", "CHANGES" };
const juce::StringArray formatNames { formatTable[formatVst3].name, formatTable[formatClap].name,
                                      formatTable[formatAax].name, "AudioUnit V2", "AudioUnit V3" };
const juce::StringArray formatExtensions { formatTable[formatVst3].extension, formatTable[formatClap].extension,
                                           formatTable[formatAax].extension };
