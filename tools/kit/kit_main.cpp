// kw_kit PRODUCT_FOLDER OUT_FOLDER: checks the product and its maker, then writes what the
// build embeds. Any problem stops the build, one line each.
#include "ProductKit.h"

#include <cstdio>

namespace
{
// Written only when different, so an unchanged product rebuilds nothing.
void writeIfChanged (const juce::File& file, const void* data, size_t size)
{
    juce::MemoryBlock old;

    if (file.existsAsFile() && file.loadFileAsData (old) && old.getSize() == size && (size == 0 || old.matches (data, size)))
        return;

    // JUCE deletes a file replaced with nothing; an empty archive must still be there.
    if (size == 0)
    {
        file.deleteFile();
        file.create();
        return;
    }

    file.replaceWithData (data, size);
}

void writeIfChanged (const juce::File& file, const juce::String& text)
{
    writeIfChanged (file, text.toRawUTF8(), text.getNumBytesAsUTF8());
}

void copyIfChanged (const juce::File& from, const juce::File& to)
{
    juce::MemoryBlock bytes;
    from.loadFileAsData (bytes);
    writeIfChanged (to, bytes.getData(), bytes.getSize());
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf (stderr, "usage: kw_kit PRODUCT_FOLDER OUT_FOLDER\n");
        return 2;
    }

    const auto productFolder = juce::File::getCurrentWorkingDirectory().getChildFile (juce::String::fromUTF8 (argv[1]));
    const auto out = juce::File::getCurrentWorkingDirectory().getChildFile (juce::String::fromUTF8 (argv[2]));
    const auto result = ProductKit::load (productFolder);

    if (! result.ok())
    {
        for (const auto& line : result.problems)
            std::fprintf (stderr, "kit: %s\n", line.toRawUTF8());

        std::fprintf (stderr, "kit: %d problem(s) in %s; nothing was built.\n", result.problems.size(),
                      productFolder.getFullPathName().toRawUTF8());
        return 1;
    }

    for (const auto& line : result.warnings)
        std::fprintf (stderr, "kit: warning: %s\n", line.toRawUTF8());

    const auto& p = result.product;
    out.createDirectory();
    const char* archives[] = { "vst3.zip", "clap.zip", "aax.zip" };
    juce::StringArray carried;

    for (int f = 0; f < 3; ++f)
    {
        // A format the product lacks is an empty archive: no row, no button, nothing installed.
        const auto& zip = p.archives[(size_t) f];
        writeIfChanged (out.getChildFile (archives[f]), zip.getData(), zip.getSize());

        if (p.carried[(size_t) f])
            carried.add (ProductKit::bundleName (p.name, f));
    }

    copyIfChanged (productFolder.getChildFile ("CHANGELOG.md"), out.getChildFile ("CHANGELOG.md"));
    copyIfChanged (productFolder.getChildFile ("LICENCE.txt"), out.getChildFile ("licence_agreement.txt"));
    copyIfChanged (p.maker.folder.getChildFile ("logo.svg"), out.getChildFile ("maker_logo.svg"));
    writeIfChanged (out.getChildFile ("ProductData.inc"), ProductKit::productSource (p));
    writeIfChanged (out.getChildFile ("ProductRc.h"), ProductKit::versionBlockHeader (p));

    std::printf ("kit: %s %s by %s: %s checked (layout, x86-64 DLL, entry point, file version, moduleinfo.json, archive safety, signatures)\n",
                 p.name.toRawUTF8(), p.version.toRawUTF8(), p.maker.name.toRawUTF8(), carried.joinIntoString (", ").toRawUTF8());
    return 0;
}
