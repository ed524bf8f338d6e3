#include "FileChecks.h"

#include <windows.h>

namespace platform
{
std::unique_ptr<juce::InputStream> openRegularFile (const juce::File& file)
{
    if (file == juce::File())
        return {};

    // Named pipes and devices live under \\.\ and never look like files on a drive.
    const auto attributes = GetFileAttributesW (file.getFullPathName().toWideCharPointer());

    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return {};

    auto stream = std::make_unique<juce::FileInputStream> (file);

    if (! stream->openedOk())
        return {};

    return stream;
}

bool isOwnRegularFile (const juce::File& file)
{
    // The temporary folder is the user's own on Windows.
    const auto attributes = GetFileAttributesW (file.getFullPathName().toWideCharPointer());
    return attributes != INVALID_FILE_ATTRIBUTES
        && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}
} // namespace platform
