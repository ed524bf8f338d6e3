// Median time of one full paint of the main view, installed-state scan included, into a
// software image. Needs an X display (run under xvfb-run on a headless machine).
#include "install/BundleInstaller.h"
#include "main_view/MainComponent.h"
#include "platform/Platform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

int main()
{
    juce::ScopedJuceInitialiser_GUI gui;

    const auto prefix = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("kitwarden-paint-", "");
    const auto driveC = prefix.getChildFile ("drive_c");
    driveC.getChildFile ("ProgramData/Fernhollow").createDirectory();
    platform::setFoldersForTesting (platform::Folders { driveC.getChildFile ("ProgramData"), prefix, driveC });

    // Installed bundles, so every paint reads three versions.
    const auto common = driveC.getChildFile ("Program Files/Common Files");
    for (auto format : allFormats)
    {
        const auto& row = FormatSpec::of (format);
        BundleInstaller (common.getChildFile (row.defaultFolder), "QuernfieldReverb3", row.bundleName ("QuernfieldReverb3"))
            .install (row.payloadData, row.payloadSize);
    }

    {
        MainComponent view;

        for (int size : { 600, 1200 })
        {
            view.setSize (size, size);
            juce::Image image (juce::Image::ARGB, size, size, true, juce::SoftwareImageType());
            std::vector<double> ms;

            for (int r = 0; r < 220; ++r)
            {
                juce::Graphics g (image);
                const auto start = std::chrono::steady_clock::now();
                view.paintEntireComponent (g, false);
                const auto elapsed = std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count();
                if (r >= 20)   // the first paints build glyph caches
                    ms.push_back (elapsed);
            }

            std::sort (ms.begin(), ms.end());
            std::printf ("paint_%dx%d_median_ms: %.3f\n", size, size, ms[ms.size() / 2]);
            std::printf ("paint_%dx%d_p90_ms: %.3f\n", size, size, ms[ms.size() * 9 / 10]);
        }
    }

    platform::setFoldersForTesting (std::nullopt);
    prefix.deleteRecursively();
    return 0;
}
