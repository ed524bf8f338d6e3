#pragma once

#include "platform/Shell.h"

/** The maker's support contacts, and the pre-filled support e-mail. */
namespace SupportMailLink
{
extern const char* const supportEmailAddress;
extern const char* const discordInviteUrl;

/** The report the e-mail body starts with, lines ended by "\n". */
juce::String body (const juce::String& productName, const juce::String& productVersion,
                   const platform::SystemReport& system);

/** "mailto:" + address + "?subject=" + escaped subject + "&body=" + escaped body. */
juce::String link (const juce::String& productName, const juce::String& productVersion,
                   const platform::SystemReport& system);
} // namespace SupportMailLink
