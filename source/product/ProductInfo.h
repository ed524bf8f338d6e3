#pragma once

#include "FormatSpec.h"

#include <juce_core/juce_core.h>

/** What the installer carries: the product, its version and where it lives on the web, and
    its maker's strings. All of it comes from the product folder the build was given.
*/
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

/** The maker's short name, and what all of the maker's installers share. */
extern const char* const makerName;
extern const char* const settingsNote;        // the settings file's note, verbatim
extern const char* const supportEmail;
extern const char* const communityUrl;        // the invite the DISCORD control opens
extern const char* const communityText;       // its paragraph
extern const char* const copyright;           // UTF-8

/** Whether the product ships the format: one that it does not has no row and no button. */
bool carries (FormatIndex format);

/** The settings file in that folder, shared by all of the maker's installers. */
extern const char* const settingsFileName;

/** The product name as shown and as its bundles are named: every "_" becomes a space. */
juce::String displayProductName();
} // namespace ProductInfo
