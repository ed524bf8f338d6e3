// Runs one install or uninstall in a process of its own, for tests that kill it midway or
// run it as another user. Prints the outcome; exits 0 on success, 10 + the failure's number
// on failure, 2 on misuse.
//
//   kw_install_tool install|uninstall FORMAT_FOLDER FORMAT_INDEX
#include "install/BundleInstaller.h"
#include "support/ReferenceBundles.h"

#include <cstdio>

int main (int argc, char** argv)
{
    if (argc != 4)
        return 2;

    const juce::String command (argv[1]);
    const auto format = (FormatIndex) juce::String (argv[3]).getIntValue();

    if (format < 0 || format >= numFormats)
        return 2;

    BundleInstaller installer (juce::File (juce::String::fromUTF8 (argv[2])), "QuernfieldReverb3",
                               testing_support::bundleName (format));

    const auto outcome = command == "install"
                             ? installer.install (testing_support::payloadData (format), testing_support::payloadSize (format))
                             : installer.uninstall();

    std::printf ("%s\n", outcome.succeeded() ? "done" : outcome.describe().toRawUTF8());
    return outcome.succeeded() ? 0 : 10 + (int) outcome.failure;
}
