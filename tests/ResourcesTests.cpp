#include "support/TestSupport.h"

#include "BinaryData.h"

#include <gtest/gtest.h>

#include <cstring>

using testing_support::resourceFile;

namespace
{
struct Embedded
{
    const char* data;
    int size;
    const char* fileName;
};

#define KW_RESOURCE(id, file) { BinaryData::id, BinaryData::id##Size, file }
const Embedded embedded[] = {
    KW_RESOURCE (aax_zip, "aax.zip"),
    KW_RESOURCE (clap_zip, "clap.zip"),
    KW_RESOURCE (vst3_zip, "vst3.zip"),
    KW_RESOURCE (SFProRoundedRegular_otf, "SF-Pro-Rounded-Regular.otf"),
    KW_RESOURCE (SFProRoundedSemibold_otf, "SF-Pro-Rounded-Semibold.otf"),
    KW_RESOURCE (fh_tobrin_png, "fh_tobrin.png"),
    KW_RESOURCE (icon_aax_svg, "icon_aax.svg"),
    KW_RESOURCE (icon_auv2_svg, "icon_auv2.svg"),
    KW_RESOURCE (icon_auv3_svg, "icon_auv3.svg"),
    KW_RESOURCE (icon_clap_svg, "icon_clap.svg"),
    KW_RESOURCE (icon_discord_svg, "icon_discord.svg"),
    KW_RESOURCE (icon_eula_svg, "icon_eula.svg"),
    KW_RESOURCE (icon_help_svg, "icon_help.svg"),
    KW_RESOURCE (icon_install_svg, "icon_install.svg"),
    KW_RESOURCE (icon_lv2_svg, "icon_lv2.svg"),
    KW_RESOURCE (icon_mail_svg, "icon_mail.svg"),
    KW_RESOURCE (icon_manual_svg, "icon_manual.svg"),
    KW_RESOURCE (icon_success_svg, "icon_success.svg"),
    KW_RESOURCE (icon_vst3_svg, "icon_vst3.svg"),
    KW_RESOURCE (icon_warning_svg, "icon_warning.svg"),
    KW_RESOURCE (icon_web_svg, "icon_web.svg"),
    KW_RESOURCE (icon_changelog_svg, "icon_changelog.svg"),
    KW_RESOURCE (maker_logo_svg, "maker_logo.svg"),
    KW_RESOURCE (CHANGELOG_md, "CHANGELOG.md"),
};
#undef KW_RESOURCE

juce::Image render (const juce::String& svgText, int size = 64)
{
    auto xml = juce::parseXML (svgText);
    juce::Image image (juce::Image::ARGB, size, size, true, juce::SoftwareImageType());

    if (auto drawable = xml != nullptr ? juce::Drawable::createFromSVG (*xml) : nullptr)
    {
        juce::Graphics g (image);
        drawable->drawWithin (g, image.getBounds().toFloat(), juce::RectanglePlacement::centred, 1.0f);
    }

    return image;
}

int differingPixels (const juce::Image& a, const juce::Image& b)
{
    int count = 0;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                ++count;
    return count;
}

int inkedPixels (const juce::Image& image)
{
    int count = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y).getAlpha() > 0)
                ++count;
    return count;
}

void removeElements (juce::XmlElement& parent, const std::function<bool (const juce::XmlElement&)>& matches)
{
    for (auto* child = parent.getFirstChildElement(); child != nullptr;)
    {
        auto* next = child->getNextElement();

        if (matches (*child))
            parent.removeChildElement (child, true);
        else
            removeElements (*child, matches);

        child = next;
    }
}

juce::String withoutElements (const juce::String& svg, const std::function<bool (const juce::XmlElement&)>& matches)
{
    auto xml = juce::parseXML (svg);
    removeElements (*xml, matches);
    return xml->toString();
}
} // namespace

TEST (Resources, EachEmbeddedResourceIsItsFileExactly)
{
    ASSERT_EQ (BinaryData::namedResourceListSize, (int) std::size (embedded));

    for (int i = 0; i < BinaryData::namedResourceListSize; ++i)
    {
        const auto& r = embedded[i];
        SCOPED_TRACE (r.fileName);

        juce::MemoryBlock onDisk;
        ASSERT_TRUE (resourceFile (r.fileName).loadFileAsData (onDisk));
        EXPECT_EQ ((size_t) r.size, onDisk.getSize());
        EXPECT_EQ (std::memcmp (r.data, onDisk.getData(), onDisk.getSize()), 0);
        EXPECT_EQ (r.data[r.size], 0) << "text resources end with a terminating zero outside their size";

        EXPECT_STREQ (BinaryData::originalFilenames[i], r.fileName);
        int size = 0;
        EXPECT_EQ (BinaryData::getNamedResource (BinaryData::namedResourceList[i], size), r.data);
        EXPECT_EQ (size, r.size);
    }
}

TEST (Resources, FormatIconsShowOnlyTheirOwnLayer)
{
    const char* icons[] = { "icon_aax.svg", "icon_auv2.svg", "icon_auv3.svg", "icon_clap.svg", "icon_lv2.svg", "icon_vst3.svg" };

    for (auto* name : icons)
    {
        SCOPED_TRACE (name);
        const auto svg = resourceFile (name).loadFileAsString();
        const auto shown = render (svg);

        // Dropping the hidden layers changes nothing; dropping the rule that hides them shows more.
        const auto ownLayerOnly = render (withoutElements (svg, [] (const juce::XmlElement& e) { return e.hasAttribute ("class"); }));
        const auto everyLayer = render (withoutElements (svg, [] (const juce::XmlElement& e) { return e.hasTagName ("style"); }));

        EXPECT_GT (inkedPixels (shown), 50);
        EXPECT_EQ (differingPixels (shown, ownLayerOnly), 0);
        EXPECT_GT (inkedPixels (everyLayer), inkedPixels (shown) + 50);
    }
}

TEST (Resources, ExtractingTheAaxArchiveCreatesTheNestedFolders)
{
    testing_support::TempFolder temp;
    juce::MemoryInputStream source (BinaryData::aax_zip, (size_t) BinaryData::aax_zipSize, false);
    juce::ZipFile zip (source);

    ASSERT_EQ (zip.getNumEntries(), 4);
    EXPECT_EQ (zip.getIndexOfFileName ("QuernfieldReverb3.aaxplugin\\Contents\\x64\\"), -1);

    for (int i = 0; i < zip.getNumEntries(); ++i)
        ASSERT_TRUE (zip.uncompressEntry (i, temp.get(), true).wasOk()) << i;

    const auto bundle = temp.get().getChildFile ("QuernfieldReverb3.aaxplugin");
    EXPECT_TRUE (bundle.isDirectory());
    EXPECT_TRUE (bundle.getChildFile ("Contents/x64/QuernfieldReverb3.aaxplugin").existsAsFile());
    EXPECT_TRUE (bundle.getChildFile ("desktop.ini").existsAsFile());
    EXPECT_TRUE (bundle.getChildFile ("Plugin.ico").existsAsFile());
    EXPECT_EQ (temp.get().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);
}

TEST (Resources, ArchivesHoldTheBundleEntriesInOrder)
{
    struct Archive { const char* data; int size; std::vector<const char*> entries; };
    const Archive archives[] = {
        { BinaryData::vst3_zip, BinaryData::vst3_zipSize,
          { "QuernfieldReverb3.vst3\\Contents\\", "QuernfieldReverb3.vst3\\desktop.ini", "QuernfieldReverb3.vst3\\Plugin.ico",
            "QuernfieldReverb3.vst3\\Contents\\Resources\\moduleinfo.json",
            "QuernfieldReverb3.vst3\\Contents\\x86_64-win\\QuernfieldReverb3.vst3" } },
        { BinaryData::clap_zip, BinaryData::clap_zipSize, { "QuernfieldReverb3.clap" } },
        { BinaryData::aax_zip, BinaryData::aax_zipSize,
          { "QuernfieldReverb3.aaxplugin\\Contents\\", "QuernfieldReverb3.aaxplugin\\desktop.ini",
            "QuernfieldReverb3.aaxplugin\\Plugin.ico",
            "QuernfieldReverb3.aaxplugin\\Contents\\x64\\QuernfieldReverb3.aaxplugin" } },
    };

    for (const auto& a : archives)
    {
        juce::MemoryInputStream source (a.data, (size_t) a.size, false);
        juce::ZipFile zip (source);
        ASSERT_EQ (zip.getNumEntries(), (int) a.entries.size());

        for (int i = 0; i < zip.getNumEntries(); ++i)
        {
            const auto* entry = zip.getEntry (i);
            SCOPED_TRACE (entry->filename);
            EXPECT_EQ (entry->filename, juce::String (a.entries[(size_t) i]));

            const auto date = entry->fileTime;
            EXPECT_EQ (date.getYear(), 2026);
            EXPECT_EQ (date.getMonth(), 4);
            EXPECT_EQ (date.getDayOfMonth(), 28);

            if (entry->filename.endsWithChar ('\\'))
                EXPECT_EQ (entry->uncompressedSize, 0);
            else
                EXPECT_GT (entry->uncompressedSize, 0);
        }

        // No archive comment: the end-of-central-directory record closes the archive.
        const auto* end = reinterpret_cast<const unsigned char*> (a.data) + a.size - 22;
        EXPECT_EQ (std::memcmp (end, "PK\x05\x06", 4), 0);
        EXPECT_EQ (end[20] | (end[21] << 8), 0);
    }

    // Inner binaries carry the product version where the scan reads it.
    const auto ini = testing_support::inflateEntry (BinaryData::vst3_zip, (size_t) BinaryData::vst3_zipSize,
                                                    "QuernfieldReverb3.vst3\\desktop.ini");
    EXPECT_EQ (ini.getSize(), 80u);
    EXPECT_TRUE (ini.toString().contains ("Plugin.ico,0"));
}

TEST (Resources, ChangelogHasTheReleaseNotesShape)
{
    const juce::String text = juce::String::fromUTF8 (BinaryData::CHANGELOG_md, BinaryData::CHANGELOG_mdSize);
    ASSERT_TRUE (text.endsWith ("\r\n"));

    juce::StringArray lines;
    lines.addTokens (text.dropLastCharacters (1), "\n", {});
    ASSERT_EQ (lines.size(), 32);

    juce::StringArray releases;
    for (const auto& line : lines)
    {
        EXPECT_TRUE (line.endsWithChar ('\r')) << line;
        if (line.startsWith ("## v"))
            releases.add (line.substring (4).trimEnd());
    }

    EXPECT_EQ (lines[0].trimEnd(), juce::String::fromUTF8 ("# QuernfieldReverb3 \xe2\x80\x94 Changelog"));
    EXPECT_EQ (releases, juce::StringArray ({ "3.2.1", "3.2.0", "3.1.0", "3.0.3", "3.0.0" }));
    EXPECT_TRUE (text.contains ("- **"));
    EXPECT_TRUE (text.contains ("`"));
}
