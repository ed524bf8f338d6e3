#pragma once

#include <juce_core/juce_core.h>

/** What the installer carries: the product, its version and where it lives on the web. */
namespace ProductInfo
{
extern const char* const rawProductName;
extern const char* const productVersion;
extern const char* const platformSuffix;
extern const char* const productPageUrl;
extern const char* const defaultFormatRoot;

/** The installer's own version, as the build's project version gives it. */
extern const char* const installerVersion;

/** The maker's folder under the common application-data folder, where the settings file lives. */
extern const char* const settingsFolderName;

/** The settings file in that folder, shared by all of the maker's installers. */
extern const char* const settingsFileName;

/** The product name as shown and as its bundles are named: every "_" becomes a space. */
juce::String displayProductName();
} // namespace ProductInfo
