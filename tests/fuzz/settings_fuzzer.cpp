// libFuzzer target: the settings reader's screening of a file's bytes, then JUCE's parser on
// whatever the guard lets through, as the program reads the shared settings file.
#include "settings/SettingsFileGuard.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size > (size_t) SettingsFileGuard::maxFileBytes)
        return 0;

    if (! SettingsFileGuard::isStrictUtf8 (data, size))
        return 0;

    const auto text = juce::String::fromUTF8 (reinterpret_cast<const char*> (data), (int) size);

    // Strictly valid UTF-8 decodes and encodes back to the same bytes, up to a first NUL.
    const auto back = text.toStdString();
    if (back.size() > size || std::memcmp (back.data(), data, back.size()) != 0)
        std::abort();

    if (SettingsFileGuard::findProblem (text).isEmpty())
        if (auto root = juce::parseXML (text))
            root->getStringAttribute ("VST3_Path");

    return 0;
}
