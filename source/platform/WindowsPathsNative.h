#pragma once

#include <juce_core/juce_core.h>

// The edition's half of WindowsPaths.cpp: what a drive letter and a native path mean here.
namespace platform::windows_paths
{
/** The folder a drive's root lands on ('c' is driveCFolder()), or an empty juce::File when
    this system has no such drive. letter is lower case.
*/
juce::File driveRoot (juce::juce_wchar letter);

/** A path this system takes as it is, though not in a Windows form (a POSIX path on Linux). */
bool isNativeAbsolutePath (const juce::String& path);
} // namespace platform::windows_paths
