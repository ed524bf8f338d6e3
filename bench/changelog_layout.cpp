// Parse and layout time of the release notes against their size: it must grow linearly.
// Needs an X display for the framework's fonts (run under xvfb-run on a headless machine).
#include "look/CustomLookAndFeel.h"
#include "panels/ChangelogMarkup.h"
#include "panels/panel_changelog.h"

#include "BinaryData.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

double ms (Clock::time_point since)
{
    return std::chrono::duration<double, std::milli> (Clock::now() - since).count();
}

/** The shipped notes' releases, repeated until the text reaches the size. */
juce::String changelogOfSize (int bytes)
{
    const auto shipped = juce::String::createStringFromData (BinaryData::CHANGELOG_md, BinaryData::CHANGELOG_mdSize);
    const auto body = shipped.fromFirstOccurrenceOf ("\n", false, false);
    juce::MemoryOutputStream out;
    out << shipped.upToFirstOccurrenceOf ("\n", true, false);
    while ((int) out.getDataSize() < bytes)
        out << body;
    return out.toString();
}
} // namespace

int main()
{
    juce::ScopedJuceInitialiser_GUI gui;
    CustomLookAndFeel lookAndFeel;
    juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel);

    for (int kib : { 64, 256, 1024 })
    {
        const auto text = changelogOfSize (kib * 1024);
        const auto bytes = (double) text.getNumBytesAsUTF8();

        std::vector<double> parse, layout;
        for (int r = 0; r < 5; ++r)
        {
            auto start = Clock::now();
            const auto entries = parseChangelog (text);
            parse.push_back (ms (start));

            panel_changelog::ChangelogContent content (&entries);
            start = Clock::now();
            content.layoutBlocks (552, 6.0f);
            layout.push_back (ms (start));
        }

        std::sort (parse.begin(), parse.end());
        std::sort (layout.begin(), layout.end());
        std::printf ("changelog_%dKiB_parse_ms: %.2f\n", kib, parse[2]);
        std::printf ("changelog_%dKiB_layout_ms: %.1f\n", kib, layout[2]);
        std::printf ("changelog_%dKiB_ns_per_byte: %.0f\n", kib, (parse[2] + layout[2]) * 1.0e6 / bytes);
    }

    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
    return 0;
}
