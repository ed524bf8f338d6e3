// libFuzzer target: the settings reader's screening of a file's bytes, then JUCE's parser on
// whatever the screening lets through, exactly as the program reads the shared settings file.
#include "product/TextDecoding.h"
#include "settings/SettingsFileGuard.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size > (size_t) SettingsFileGuard::maxFileBytes)
        return 0;

    const auto text = SettingsFileGuard::screen (data, size);

    if (! text.has_value())
        return 0;

    // Whatever the encoding, the text handed on is well-formed: its UTF-8 decodes strictly to itself.
    const auto back = text->toStdString();
    const auto again = TextDecoding::strictUtf8 (back.data(), back.size());
    if (! again.has_value() || *again != *text)
        std::abort();

    if (auto root = juce::parseXML (*text))
        root->getStringAttribute ("VST3_Path");

    return 0;
}
