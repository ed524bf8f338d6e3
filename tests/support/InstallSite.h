#pragma once

#include "install/BundleInstaller.h"
#include "support/TestSupport.h"

#include <map>

namespace testing_support
{
/** A format folder inside a fresh tree that holds an old bundle and a neighbour. */
struct Site
{
    /** base: where the tree goes (a fresh temporary folder when empty). */
    explicit Site (FormatIndex f, const juce::File& base = {});

    BundleInstaller installer (platform::FileOps& ops = platform::systemFileOps()) const;

    /** The bundle's part of the format folder, as listTree gives it. */
    std::map<juce::String, juce::String> bundleNow() const;

    TempFolder temp;
    FormatIndex format;
    juce::File root, folder;
    std::map<juce::String, juce::String> before;
};

} // namespace testing_support
