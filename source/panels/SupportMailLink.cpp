#include "SupportMailLink.h"

#include "product/ProductInfo.h"

namespace SupportMailLink
{
const char* const supportEmailAddress = ProductInfo::supportEmail;
const char* const discordInviteUrl = ProductInfo::communityUrl;

juce::String body (const juce::String& productName, const juce::String& productVersion,
                   const platform::SystemReport& system)
{
    return "Product: " + productName + " " + productVersion + "\n"
         + "Operating System: " + system.osName + "\n"
         + "Device: " + system.deviceDescription + "\n"
         + "CPU: " + system.cpuModel + "\n"
         + "\n"
         + "Your problem, and the steps to recreate it, if possible:\n";
}

juce::String link (const juce::String& productName, const juce::String& productVersion,
                   const platform::SystemReport& system)
{
    return juce::String ("mailto:") + supportEmailAddress
         + "?subject=" + juce::URL::addEscapeChars (productName + " help", true, true)
         + "&body=" + juce::URL::addEscapeChars (body (productName, productVersion, system), true, true);
}
} // namespace SupportMailLink
