// The product kit: what a maker's product folder must hold, and the one line a maker reads
// for each thing that would ship broken.
#include "ProductKit.h"
#include "install/PayloadArchive.h"
#include "support/PeBuilder.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

#if ! JUCE_WINDOWS
 #include <unistd.h>
#endif

using namespace testing_support;

namespace
{
juce::MemoryBlock plugInBinary (const char* entryPoint, uint16_t minor = 4, std::function<void (PeOptions&)> change = {})
{
    PeOptions o;
    o.version[0] = 1;
    o.version[1] = minor;
    o.version[2] = 0;
    o.exports = { "DllMain", entryPoint };

    if (change)
        change (o);

    return makePe (o);
}

void write (const juce::File& file, const juce::MemoryBlock& bytes)
{
    file.getParentDirectory().createDirectory();
    file.replaceWithData (bytes.getData(), bytes.getSize());
}

void write (const juce::File& file, const juce::String& text)
{
    file.getParentDirectory().createDirectory();
    file.replaceWithText (text, false, false, "\n");
}

juce::MemoryBlock zipOf (const std::vector<std::pair<juce::String, juce::MemoryBlock>>& entries)
{
    juce::ZipFile::Builder builder;

    for (const auto& [name, data] : entries)
        builder.addEntry (std::make_unique<juce::MemoryInputStream> (data, true).release(), 6, name, juce::Time (2020, 0, 1, 0, 0));

    juce::MemoryOutputStream out;
    builder.writeToStream (out, nullptr);
    return out.getMemoryBlock();
}

/** A sound product of another maker: "Tidal_Echo" 1.4.0 in VST3 and CLAP, no AAX. */
struct ProductFolder
{
    ProductFolder()
    {
        write (maker.getChildFile ("maker.json"), juce::String (R"({ "name": "Brackwater", "settingsFolder": "Brackwater",
            "settingsNote": "Paths for every Brackwater installer.", "supportEmail": "help@brackwater.example",
            "communityUrl": "https://forum.brackwater.example/join", "communityText": "Our forum.",
            "copyright": "(c) 2026 Brackwater" })"));
        write (maker.getChildFile ("logo.svg"), juce::String ("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 10 10\"/>"));
        writeProductJson ("Tidal_Echo", "1.4.0", "https://brackwater.example/tidal-echo");
        write (product.getChildFile ("CHANGELOG.md"), juce::String ("# Tidal Echo\n## v1.4.0\n- First.\n"));
        write (product.getChildFile ("LICENCE.txt"), juce::String ("Licence.\n"));
        write (vst3Binary(), plugInBinary ("GetPluginFactory"));
        write (clap(), plugInBinary ("clap_entry"));
    }

    void writeProductJson (const juce::String& name, const juce::String& version, const juce::String& url)
    {
        write (product.getChildFile ("product.json"), "{ \"name\": \"" + name + "\", \"version\": \"" + version
                                                          + "\", \"pageUrl\": \"" + url + "\", \"maker\": \"../maker\" }");
    }

    juce::File bundles() const    { return product.getChildFile ("bundles"); }
    juce::File vst3() const       { return bundles().getChildFile ("Tidal Echo.vst3"); }
    juce::File vst3Binary() const { return vst3().getChildFile ("Contents/x86_64-win/Tidal Echo.vst3"); }
    juce::File clap() const       { return bundles().getChildFile ("Tidal Echo.clap"); }

    TempFolder temp;
    juce::File product = temp.get().getChildFile ("tidal-echo");
    juce::File maker = temp.get().getChildFile ("maker");
};
} // namespace

TEST (ProductKit, ASoundProductIsPackedWithOnlyTheFormatsItCarries)
{
    ProductFolder folder;
    const auto result = ProductKit::load (folder.product);

    ASSERT_TRUE (result.ok()) << result.problems.joinIntoString ("\n");
    const auto& p = result.product;
    EXPECT_EQ (p.name, "Tidal_Echo");
    EXPECT_EQ (p.version, "1.4.0");
    EXPECT_EQ (p.maker.name, "Brackwater");
    EXPECT_EQ (p.maker.supportEmail, "help@brackwater.example");
    EXPECT_TRUE (p.carried[0]);
    EXPECT_TRUE (p.carried[1]);
    EXPECT_FALSE (p.carried[2]);
    EXPECT_EQ (p.archives[2].getSize(), 0u);

    // The folder bundle, zipped: sorted entries under the bundle's name, every one intact.
    const PayloadArchive vst3 (p.archives[0].getData(), p.archives[0].getSize());
    ASSERT_TRUE (vst3.isValid());
    juce::StringArray names;
    std::vector<uint8_t> bytes;

    for (const auto& e : vst3.getEntries())
    {
        names.add (e.name);

        if (! e.isFolder())
        {
            EXPECT_TRUE (vst3.extract (e, bytes)) << e.name;
        }
    }

    EXPECT_EQ (names, juce::StringArray ({ "Tidal Echo.vst3/", "Tidal Echo.vst3/Contents/", "Tidal Echo.vst3/Contents/x86_64-win/",
                                           "Tidal Echo.vst3/Contents/x86_64-win/Tidal Echo.vst3" }));

    // The strings the installer gets carry the maker's texts and the formats.
    const auto source = ProductKit::productSource (p);
    EXPECT_TRUE (source.contains ("#define KW_MAKER_SUPPORT_EMAIL \"help@brackwater.example\""));
    EXPECT_TRUE (source.contains ("#define KW_CARRIED_FORMATS { true, true, false }"));
}

TEST (ProductKit, TheSameFolderZipsToTheSameBytesWhateverItsTimesAndOrder)
{
    ProductFolder a, b;
    // Other times and another order of creation: nothing of it may show in the archive.
    b.vst3().getChildFile ("Contents/Resources").createDirectory();
    a.vst3().getChildFile ("Contents/Resources").createDirectory();
    b.vst3Binary().setLastModificationTime (juce::Time (2001, 5, 3, 4, 5));
    a.vst3Binary().setLastModificationTime (juce::Time (2024, 1, 1, 0, 0));

    juce::MemoryBlock zipA, zipB;
    juce::String problem;
    ASSERT_TRUE (ProductKit::zipFolder (a.vst3(), "Tidal Echo.vst3", zipA, problem));
    ASSERT_TRUE (ProductKit::zipFolder (b.vst3(), "Tidal Echo.vst3", zipB, problem));
    EXPECT_EQ (zipA, zipB);
}

TEST (ProductKit, EachBrokenRuleStopsTheBuildWithItsLine)
{
    struct Case
    {
        const char* rule;
        std::function<void (ProductFolder&)> breakIt;
        const char* file;       // relative to the temporary folder
        const char* expected;   // what the one line says
    };

    const Case cases[] = {
        { "VST3 layout", [] (ProductFolder& f)
          {
              const auto elsewhere = f.vst3().getChildFile ("Contents/x64/Tidal Echo.vst3");
              elsewhere.getParentDirectory().createDirectory();
              f.vst3Binary().moveFileTo (elsewhere);
          },
          "tidal-echo/bundles/Tidal Echo.vst3", "VST3 needs the binary at \"Tidal Echo.vst3/Contents/x86_64-win/Tidal Echo.vst3\"" },
        { "CLAP is one file", [] (ProductFolder& f)
          {
              f.clap().deleteFile();
              write (f.clap().getChildFile ("Tidal Echo.clap"), plugInBinary ("clap_entry"));
          },
          "tidal-echo/bundles/Tidal Echo.clap", "CLAP is one file, not a folder" },
        { "32-bit binary", [] (ProductFolder& f)
          {
              write (f.vst3Binary(), plugInBinary ("GetPluginFactory", 4, [] (PeOptions& o) { o.machine = 0x14c; o.pe32Plus = false; }));
          },
          "tidal-echo/bundles/Tidal Echo.vst3", "is a 32-bit x86 binary. Ship the 64-bit x86-64 DLL your build makes." },
        { "ARM64 binary", [] (ProductFolder& f)
          {
              write (f.vst3Binary(), plugInBinary ("GetPluginFactory", 4, [] (PeOptions& o) { o.machine = 0xaa64; }));
          },
          "tidal-echo/bundles/Tidal Echo.vst3", "is an ARM64 binary" },
        { "an executable", [] (ProductFolder& f)
          {
              write (f.clap(), plugInBinary ("clap_entry", 4, [] (PeOptions& o) { o.dll = false; }));
          },
          "tidal-echo/bundles/Tidal Echo.clap", "is an executable, not a DLL" },
        { "entry point", [] (ProductFolder& f) { write (f.clap(), plugInBinary ("GetPluginFactory")); },
          "tidal-echo/bundles/Tidal Echo.clap", "does not export clap_entry, so hosts will not load it as CLAP" },
        { "file version", [] (ProductFolder& f) { write (f.vst3Binary(), plugInBinary ("GetPluginFactory", 3)); },
          "tidal-echo/bundles/Tidal Echo.vst3", "has file version \"1.3.0.0\", not 1.4.0, so users would see NEEDS UPDATE" },
        { "moduleinfo.json not JSON", [] (ProductFolder& f)
          {
              write (f.vst3().getChildFile ("Contents/Resources/moduleinfo.json"), juce::String ("{ \"Version\": "));
          },
          "tidal-echo/bundles/Tidal Echo.vst3", "Contents/Resources/moduleinfo.json is not valid JSON" },
        { "moduleinfo.json version", [] (ProductFolder& f)
          {
              write (f.vst3().getChildFile ("Contents/Resources/moduleinfo.json"), juce::String ("{ \"Name\": \"Tidal Echo\", \"Version\": \"1.3.0\" }"));
          },
          "tidal-echo/bundles/Tidal Echo.vst3", "moduleinfo.json gives version \"1.3.0\", not 1.4.0" },
        { "zip entry climbing out", [] (ProductFolder& f)
          {
              f.clap().deleteFile();
              write (f.bundles().getChildFile ("Tidal Echo.clap.zip"),
                     zipOf ({ { "Tidal Echo.clap", plugInBinary ("clap_entry") }, { "../evil.dll", juce::MemoryBlock (4, true) } }));
          },
          "tidal-echo/bundles/Tidal Echo.clap.zip", "entry \"../evil.dll\" is absolute or climbs out with \"..\"" },
        { "zip entry outside the bundle", [] (ProductFolder& f)
          {
              f.clap().deleteFile();
              write (f.bundles().getChildFile ("Tidal Echo.clap.zip"),
                     zipOf ({ { "Tidal Echo.clap", plugInBinary ("clap_entry") }, { "Other.clap", juce::MemoryBlock (4, true) } }));
          },
          "tidal-echo/bundles/Tidal Echo.clap.zip", "entry \"Other.clap\" lies outside the bundle \"Tidal Echo.clap\"" },
        // As a zip, since a case-insensitive folder here could not hold both names.
        { "names differing only in case", [] (ProductFolder& f)
          {
              f.vst3().deleteRecursively();
              write (f.bundles().getChildFile ("Tidal Echo.vst3.zip"),
                     zipOf ({ { "Tidal Echo.vst3/Contents/x86_64-win/Tidal Echo.vst3", plugInBinary ("GetPluginFactory") },
                              { "Tidal Echo.vst3/Contents/Resources/Preset.txt", juce::MemoryBlock (1, true) },
                              { "Tidal Echo.vst3/Contents/Resources/preset.txt", juce::MemoryBlock (2, true) } }));
          },
          "tidal-echo/bundles/Tidal Echo.vst3.zip", "differ only in case, and Windows folders do not" },
        { "product.json field missing", [] (ProductFolder& f)
          {
              write (f.product.getChildFile ("product.json"), juce::String ("{ \"name\": \"Tidal_Echo\", \"version\": \"1.4.0\", \"maker\": \"../maker\" }"));
          },
          "tidal-echo/product.json", "\"pageUrl\" is missing or not a string" },
        { "version form", [] (ProductFolder& f) { f.writeProductJson ("Tidal_Echo", "1.4", "https://brackwater.example/"); },
          "tidal-echo/product.json", "\"version\" is \"1.4\", not of the form x.y.z" },
        { "https address", [] (ProductFolder& f) { f.writeProductJson ("Tidal_Echo", "1.4.0", "http://brackwater.example/"); },
          "tidal-echo/product.json", "\"pageUrl\" is \"http://brackwater.example/\", not an https address" },
        { "maker.json settings folder", [] (ProductFolder& f)
          {
              auto text = f.maker.getChildFile ("maker.json").loadFileAsString();
              write (f.maker.getChildFile ("maker.json"), text.replace ("\"settingsFolder\": \"Brackwater\"", "\"settingsFolder\": \"Brack/water\""));
          },
          "maker/maker.json", "\"settingsFolder\" is \"Brack/water\", not one plain folder name" },
        { "maker.json syntax", [] (ProductFolder& f) { write (f.maker.getChildFile ("maker.json"), juce::String ("{ \"name\": ")); },
          "maker/maker.json", "not a JSON object" },
        { "a bundle named after another product", [] (ProductFolder& f) { f.clap().moveFileTo (f.bundles().getChildFile ("TidalEcho.clap")); },
          "tidal-echo/bundles/TidalEcho.clap", "is not a bundle of this product. Name it \"Tidal Echo.vst3\"" },
        { "no bundle at all", [] (ProductFolder& f) { f.bundles().deleteRecursively(); },
          "tidal-echo/bundles", "holds no bundle named \"Tidal Echo.vst3\"" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.rule);
        ProductFolder folder;
        c.breakIt (folder);

        const auto result = ProductKit::load (folder.product);
        EXPECT_EQ (result.problems.size(), 1) << result.problems.joinIntoString ("\n");

        if (result.problems.isEmpty())
            continue;

        const auto& line = result.problems[0];
        EXPECT_TRUE (line.startsWith (folder.temp.get().getChildFile (c.file).getFullPathName() + ": ")) << line;
        EXPECT_TRUE (line.contains (juce::String::fromUTF8 (c.expected))) << line;
    }
}

#if ! JUCE_WINDOWS // symbolic links are made freely on POSIX only
TEST (ProductKit, ALinkInABundleFolderStopsTheBuild)
{
    ProductFolder folder;
    const auto link = folder.vst3().getChildFile ("Contents/Resources/shared");
    link.getParentDirectory().createDirectory();
    ASSERT_EQ (::symlink ("/etc", link.getFullPathName().toRawUTF8()), 0);

    const auto result = ProductKit::load (folder.product);
    ASSERT_EQ (result.problems.size(), 1) << result.problems.joinIntoString ("\n");
    EXPECT_EQ (result.problems[0], link.getFullPathName() + ": is a symbolic link. Replace it with the file or folder itself.");
}
#endif

TEST (ProductKit, TheDefaultProductPasses)
{
    const auto result = ProductKit::load (juce::File (KW_PRODUCT_DIR));
    EXPECT_TRUE (result.ok()) << result.problems.joinIntoString ("\n");
    EXPECT_TRUE (result.product.carried[0] && result.product.carried[1] && result.product.carried[2]);
}
