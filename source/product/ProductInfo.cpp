#include "ProductInfo.h"

#include "InstallerVersion.h"
#include "ProductData.inc"

namespace ProductInfo
{
const char* const rawProductName = KW_PRODUCT_NAME;
const char* const productVersion = KW_PRODUCT_VERSION;
const char* const platformSuffix = " for Windows";
const char* const productPageUrl = KW_PRODUCT_PAGE_URL;
const char* const defaultFormatRoot = "C:/Program Files/Common Files";
const char* const installerVersion = KW_INSTALLER_VERSION;
const char* const settingsFolderName = KW_MAKER_SETTINGS_FOLDER;
const char* const makerName = KW_MAKER_NAME;
const char* const settingsNote = KW_MAKER_SETTINGS_NOTE;
const char* const supportEmail = KW_MAKER_SUPPORT_EMAIL;
const char* const communityUrl = KW_MAKER_COMMUNITY_URL;
const char* const communityText = KW_MAKER_COMMUNITY_TEXT;
const char* const copyright = KW_MAKER_COPYRIGHT;
const char* const settingsFileName = "KitwardenSettings.txt";

bool carries (FormatIndex format)
{
    static constexpr bool carried[numFormats] = KW_CARRIED_FORMATS;
    return format >= 0 && format < numFormats && carried[format];
}

juce::String displayProductName()
{
    return juce::String (rawProductName).replaceCharacter ('_', ' ');
}
} // namespace ProductInfo
