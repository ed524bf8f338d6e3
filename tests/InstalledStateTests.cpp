#include "main_view/MainComponent.h"
#include "support/PeBuilder.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#if ! JUCE_WINDOWS
 #include <sys/stat.h>
#endif

using testing_support::ScopedPrefix;

namespace
{
void putBinary (const juce::File& file, uint16_t a, uint16_t b, uint16_t c, uint16_t d)
{
    file.getParentDirectory().createDirectory();
    testing_support::PeOptions options;
    options.version[0] = a;
    options.version[1] = b;
    options.version[2] = c;
    options.version[3] = d;
    file.replaceWithData (testing_support::makePe (options).getData(), testing_support::makePe (options).getSize());
}

const juce::String vst3Binary = "QuernfieldReverb3.vst3/Contents/x86_64-win/QuernfieldReverb3.vst3";
const juce::String aaxBinary = "QuernfieldReverb3.aaxplugin/Contents/x64/QuernfieldReverb3.aaxplugin";
} // namespace

TEST (InstalledState, ScanReadsTheDiskAndComparesVersionsNaturally)
{
    struct Case
    {
        const char* name;
        FormatIndex format;
        std::function<void (const juce::File& formatFolder)> arrange;
        FormatState state;
        const char* text;
    };

    auto binaryAt = [] (juce::String path, uint16_t a, uint16_t b, uint16_t c, uint16_t d)
    {
        return [=] (const juce::File& folder) { putBinary (folder.getChildFile (path), a, b, c, d); };
    };

    const Case cases[] = {
        { "nothing there", formatVst3, [] (const juce::File&) {}, FormatState::notInstalled, "NOT INSTALLED" },
        { "same version with a fourth number", formatVst3, binaryAt (vst3Binary, 3, 2, 1, 0), FormatState::installed, "v3.2.1.0 INSTALLED" },
        { "older minor", formatClap, binaryAt ("QuernfieldReverb3.clap", 3, 2, 0, 0), FormatState::needsUpdate, "v3.2.0.0 NEEDS UPDATE" },
        { "older with a larger last number", formatClap, binaryAt ("QuernfieldReverb3.clap", 3, 1, 9, 0), FormatState::needsUpdate, "v3.1.9.0 NEEDS UPDATE" },
        { "3.10 is newer than 3.2, not older", formatAax, binaryAt (aaxBinary, 3, 10, 0, 0), FormatState::installed, "v3.10.0.0 INSTALLED" },
        { "a newer product reads as installed", formatAax, binaryAt (aaxBinary, 4, 0, 0, 0), FormatState::installed, "v4.0.0.0 INSTALLED" },
        { "an older patch release", formatVst3, binaryAt (vst3Binary, 3, 0, 4, 0), FormatState::needsUpdate, "v3.0.4.0 NEEDS UPDATE" },
        { "bundle folder without its binary", formatAax,
          [] (const juce::File& f) { f.getChildFile ("QuernfieldReverb3.aaxplugin/Contents/x64").createDirectory(); },
          FormatState::installed, "INSTALLED" },
        { "a binary with no version resource", formatClap,
          [] (const juce::File& f) { f.createDirectory(); f.getChildFile ("QuernfieldReverb3.clap").replaceWithText ("not a binary"); },
          FormatState::installed, "INSTALLED" },
        { "a plain file named like the VST3 bundle", formatVst3,
          [] (const juce::File& f) { f.createDirectory(); f.getChildFile ("QuernfieldReverb3.vst3").replaceWithText ("x"); },
          FormatState::installed, "INSTALLED" },
       #if ! JUCE_WINDOWS // FIFOs live in the file system's folders only on POSIX systems
        { "a FIFO in place of the CLAP binary is never opened", formatClap,
          [] (const juce::File& f) { f.createDirectory(); ::mkfifo (f.getChildFile ("QuernfieldReverb3.clap").getFullPathName().toRawUTF8(), 0644); },
          FormatState::installed, "INSTALLED" },
        { "a FIFO in place of the VST3 binary", formatVst3,
          [] (const juce::File& f)
          {
              const auto binary = f.getChildFile (vst3Binary);
              binary.getParentDirectory().createDirectory();
              ::mkfifo (binary.getFullPathName().toRawUTF8(), 0644);
          },
          FormatState::installed, "INSTALLED" },
       #endif
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ScopedPrefix prefix;
        c.arrange (prefix.defaultFolder (c.format));
        MainComponent view;

        const auto status = view.scanFormat (c.format);
        EXPECT_EQ (InstalledState::stateOf (status), c.state);
        EXPECT_EQ (MainComponent::statusText (status), c.text);
    }
}

TEST (InstalledState, EveryScanSeesTheDiskAsItIsNow)
{
    ScopedPrefix prefix;
    MainComponent view;
    const auto binary = prefix.defaultFolder (formatVst3).getChildFile (vst3Binary);

    EXPECT_FALSE (view.scanFormat (formatVst3).exists);
    putBinary (binary, 3, 2, 0, 0);
    EXPECT_TRUE (view.scanFormat (formatVst3).needsUpdate);
    putBinary (binary, 3, 2, 1, 0);
    EXPECT_FALSE (view.scanFormat (formatVst3).needsUpdate);
    view.bundleFile (formatVst3).deleteRecursively();
    EXPECT_FALSE (view.scanFormat (formatVst3).exists);
}

TEST (InstalledState, VersionFilesBearTheBundlesOwnName)
{
    ScopedPrefix prefix;
    MainComponent view;

    EXPECT_EQ (view.versionFile (formatVst3), prefix.defaultFolder (formatVst3).getChildFile (vst3Binary));
    EXPECT_EQ (view.versionFile (formatClap), prefix.defaultFolder (formatClap).getChildFile ("QuernfieldReverb3.clap"));
    EXPECT_EQ (view.versionFile (formatAax), prefix.defaultFolder (formatAax).getChildFile (aaxBinary));
}
