// libFuzzer target: the settings reader's screening of a file's bytes, then JUCE's parser on
// whatever the screening lets through, exactly as the program reads the shared settings file.
#include "settings/SettingsFileGuard.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size > (size_t) SettingsFileGuard::maxFileBytes)
        return 0;

    const auto text = SettingsFileGuard::screen (data, size);

    if (! text.has_value())
        return 0;

    // What passes is strict UTF-8: it decodes and encodes back to the same bytes, up to a NUL.
    const auto offset = size >= 3 && data[0] == 0xef && data[1] == 0xbb && data[2] == 0xbf ? 3u : 0u;
    const auto* start = reinterpret_cast<const char*> (data) + offset;
    const auto expectedLength = strnlen (start, size - offset);
    const auto back = text->toStdString();
    if (back.size() != expectedLength || std::memcmp (back.data(), start, back.size()) != 0)
        std::abort();

    if (auto root = juce::parseXML (*text))
        root->getStringAttribute ("VST3_Path");

    return 0;
}
