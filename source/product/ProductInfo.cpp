#include "ProductInfo.h"

#include "InstallerVersion.h"

namespace ProductInfo
{
const char* const rawProductName = "QuernfieldReverb3";
const char* const productVersion = "3.2.1";
const char* const platformSuffix = " for Windows";
const char* const productPageUrl = "https://www.fernhollow.example/collections/software/products/fh002-quernfield-reverb";
const char* const defaultFormatRoot = "C:/Program Files/Common Files";
const char* const installerVersion = KW_INSTALLER_VERSION;
const char* const settingsFolderName = "Fernhollow";
const char* const settingsFileName = "KitwardenSettings.txt";

juce::String displayProductName()
{
    return juce::String (rawProductName).replaceCharacter ('_', ' ');
}
} // namespace ProductInfo
