#pragma once

#include <juce_core/juce_core.h>

namespace platform
{
/** A stream over the file when it is a regular file (links to one are fine), else nullptr.
    A FIFO, device or socket at the path is never opened in a way that could block.
*/
std::unique_ptr<juce::InputStream> openRegularFile (const juce::File& file);

/** Whether the path itself (not a link's target) is a regular file owned by the user running
    the program: only such a file in a shared folder is ours to delete.
*/
bool isOwnRegularFile (const juce::File& file);
} // namespace platform
