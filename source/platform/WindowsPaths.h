#pragma once

#include <juce_core/juce_core.h>

namespace platform
{
/** A path in the Windows form the shared settings file holds ("C:\...", "D:/...") as a file of
    this system. Anything that is not an absolute path gives an empty juce::File, never a
    path relative to the working folder or the root.
*/
juce::File fileFromWindowsPath (const juce::String& path);

/** The reverse, for writing the settings file: "C:\Program Files\..." for a file on drive C:. */
juce::String windowsPathFromFile (const juce::File& file);

} // namespace platform
