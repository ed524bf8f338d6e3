#include "ProductInfo.h"

const juce::StringArray extrasNames { "EULA", "MANUAL", "WEBSITE", "SUPPORT", "CHANGES" };
const juce::StringArray formatNames { "VST3", "CLAP", "AAX", "AudioUnit V2", "AudioUnit V3" };
const juce::StringArray formatExtensions { ".vst3", ".clap", ".aaxplugin" };

namespace ProductInfo
{
const char* const rawProductName = "QuernfieldReverb3";
const char* const productVersion = "3.2.1";
const char* const platformSuffix = " for Windows";
const char* const productPageUrl = "https://www.fernhollow.example/collections/software/products/fh002-quernfield-reverb";
const char* const installerVersion = "1.2.0";
const char* const defaultFormatRoot = "C:/Program Files/Common Files";
const char* const defaultFormatFolders[numFormats] = { "VST3", "CLAP", "Avid/Audio/Plug-Ins" };

juce::String displayProductName()
{
    return juce::String (rawProductName).replaceCharacter ('_', ' ');
}
} // namespace ProductInfo
