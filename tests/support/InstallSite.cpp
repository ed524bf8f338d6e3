#include "InstallSite.h"

#include "ReferenceBundles.h"

namespace testing_support
{
Site::Site (FormatIndex f, const juce::File& base) : format (f)
{
    root = base == juce::File() ? temp.get() : base;
    folder = root.getChildFile ("Common Files").getChildFile (formatNames[f]);
    putOldBundle (folder, format);
    root.getChildFile ("neighbour.txt").replaceWithText ("not ours");
    folder.getChildFile ("Another.vst3").createDirectory();
    before = listTree (root);
}

BundleInstaller Site::installer (platform::FileOps& ops) const
{
    return BundleInstaller (folder, "QuernfieldReverb3", bundleName (format), ops);
}

std::map<juce::String, juce::String> Site::bundleNow() const
{
    return bundlePart (listTree (folder), bundleName (format));
}
} // namespace testing_support
