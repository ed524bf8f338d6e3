#include "ProductKit.h"

#include "Digests.h"

#include "install/PayloadArchive.h"
#include "platform/PeVersionReader.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <map>

namespace ProductKit
{
namespace
{
struct KitFormat
{
    const char* name;
    const char* extension;
    const char* binaryFolder;   // empty: the bundle is the binary
    const char* entryPoint;
    const char* output;         // the embedded archive's file name
};

const KitFormat formats[3] = {
    { "VST3", ".vst3", "Contents/x86_64-win", "GetPluginFactory", "vst3.zip" },
    { "CLAP", ".clap", "", "clap_entry", "clap.zip" },
    { "AAX", ".aaxplugin", "Contents/x64", "ACFRegisterPlugin", "aax.zip" },
};

// 2000-01-01 00:00 as a DOS date and time: every entry bears it, so no build machine's clock shows.
constexpr uint16_t fixedDosTime = 0;
constexpr uint16_t fixedDosDate = (uint16_t) (((2000 - 1980) << 9) | (1 << 5) | 1);

enum class Signature { none, matches, broken };

// The Authenticode digest: the whole file but its checksum, the security directory entry and the
// signature itself, against the digest the signature carries (SHA-256, or SHA-1 from older tools).
Signature authenticode (const std::vector<uint8_t>& file, const PeVersionReader::Image& image)
{
    if (image.certificatesSize == 0)
        return Signature::none;

    const size_t start = image.certificatesOffset, end = start + image.certificatesSize;

    if (start < image.securityEntryOffset + 8 || end > file.size() || image.checksumOffset + 4 > image.securityEntryOffset)
        return Signature::broken;

    static const uint8_t sha256Info[] = { 0x30, 0x0d, 0x06, 0x09, 0x60, 0x86, 0x48, 0x01, 0x65, 0x03, 0x04, 0x02, 0x01, 0x05, 0x00, 0x04, 0x20 };
    static const uint8_t sha1Info[] = { 0x30, 0x09, 0x06, 0x05, 0x2b, 0x0e, 0x03, 0x02, 0x1a, 0x05, 0x00, 0x04, 0x14 };
    const auto* table = file.data() + start;
    const auto* tableEnd = file.data() + end;

    struct Kind { const uint8_t* info; size_t infoSize, digestSize; };
    const Kind kinds[] = { { sha256Info, sizeof (sha256Info), 32 }, { sha1Info, sizeof (sha1Info), 20 } };

    for (const auto& kind : kinds)
    {
        const auto* at = std::search (table, tableEnd, kind.info, kind.info + kind.infoSize);

        if (at == tableEnd || tableEnd - (at + kind.infoSize) < (std::ptrdiff_t) kind.digestSize)
            continue;

        Digests::Sha sha (kind.digestSize == 32);
        sha.add (file.data(), image.checksumOffset);
        sha.add (file.data() + image.checksumOffset + 4, image.securityEntryOffset - image.checksumOffset - 4);
        sha.add (file.data() + image.securityEntryOffset + 8, start - image.securityEntryOffset - 8);
        sha.add (file.data() + end, file.size() - end);
        const auto digest = sha.finish();
        return std::equal (digest.begin(), digest.end(), at + kind.infoSize) ? Signature::matches : Signature::broken;
    }

    return Signature::broken;
}

class Problems
{
public:
    explicit Problems (juce::StringArray& l) : lines (l) {}

    void add (const juce::File& file, const juce::String& what)
    {
        lines.add (file.getFullPathName() + ": " + what);
    }

private:
    juce::StringArray& lines;
};

bool isVersion (const juce::String& v)
{
    juce::StringArray parts;
    parts.addTokens (v, ".", {});
    if (parts.size() != 3)
        return false;

    for (auto& p : parts)
        if (p.isEmpty() || ! p.containsOnly ("0123456789") || p.length() > 5 || p.getIntValue() > 65535)
            return false;

    return true;
}

bool isHttps (const juce::String& url)
{
    return url.startsWith ("https://") && url.length() > 8 && ! url.containsAnyOf (" \t\r\n\"<>");
}

bool isPlainFolderName (const juce::String& name)
{
    return name.isNotEmpty() && name != "." && name != ".." && ! name.containsAnyOf ("/\\<>:\"|?*")
           && name.trim() == name && ! name.endsWithChar ('.');
}

bool isEmailAddress (const juce::String& address)
{
    const auto at = address.indexOfChar ('@');
    return at > 0 && at == address.lastIndexOfChar ('@') && address.indexOfChar (at, '.') > at + 1
           && ! address.endsWithChar ('.') && ! address.containsAnyOf (" \t\r\n<>\"?&");
}

/** The object in a JSON file, or a problem. */
juce::var readJson (const juce::File& file, Problems& problems)
{
    if (! file.existsAsFile())
    {
        problems.add (file, "missing. Create it as the README's \"Make the installer for your product\" shows.");
        return {};
    }

    juce::var parsed;
    const auto result = juce::JSON::parse (file.loadFileAsString(), parsed);

    if (result.failed() || ! parsed.isObject())
    {
        problems.add (file, "not a JSON object (" + (result.failed() ? result.getErrorMessage() : juce::String ("another kind of value"))
                                + "). Fix its syntax.");
        return {};
    }

    return parsed;
}

/** A required string field, checked; empty when it is missing or wrong. */
juce::String field (const juce::var& object, const char* key, const juce::File& file, Problems& problems,
                    std::function<bool (const juce::String&)> valid = {}, const char* expected = nullptr)
{
    const auto value = object.getProperty (key, {});

    if (! value.isString() || value.toString().trim().isEmpty())
    {
        problems.add (file, juce::String ("\"") + key + "\" is missing or not a string. Add it.");
        return {};
    }

    if (valid && ! valid (value.toString()))
    {
        problems.add (file, juce::String ("\"") + key + "\" is \"" + value.toString() + "\", not " + expected + ". Correct it.");
        return {};
    }

    return value.toString();
}

void put16 (juce::MemoryOutputStream& out, uint32_t v) { out.writeShort ((short) (uint16_t) v); }
void put32 (juce::MemoryOutputStream& out, uint32_t v) { out.writeInt ((int) v); }

struct ZipEntry
{
    juce::String name;
    juce::MemoryBlock data;
    bool folder = false;
};

juce::MemoryBlock writeZip (std::vector<ZipEntry>& entries)
{
    std::sort (entries.begin(), entries.end(), [] (const ZipEntry& a, const ZipEntry& b) { return a.name.compare (b.name) < 0; });

    juce::MemoryOutputStream out, directory;

    for (auto& e : entries)
    {
        const auto name = e.name.toStdString();
        const auto crc = (uint32_t) crc32 (0, static_cast<const Bytef*> (e.data.getData()), (uInt) e.data.getSize());
        juce::MemoryBlock packed;
        uint16_t method = 0;

        if (e.data.getSize() > 0)
        {
            z_stream z {};
            deflateInit2 (&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
            packed.setSize (deflateBound (&z, (uLong) e.data.getSize()));
            z.next_in = static_cast<Bytef*> (e.data.getData());
            z.avail_in = (uInt) e.data.getSize();
            z.next_out = static_cast<Bytef*> (packed.getData());
            z.avail_out = (uInt) packed.getSize();
            deflate (&z, Z_FINISH);
            packed.setSize (z.total_out);
            deflateEnd (&z);
            method = 8;
        }

        const auto offset = (uint32_t) out.getPosition();
        // Made by MS-DOS: no Unix mode to carry, the folder bit alone.
        const uint32_t attributes = e.folder ? 0x10 : 0;

        put32 (out, 0x04034b50); put16 (out, 20); put16 (out, 0x0800); put16 (out, method);
        put16 (out, fixedDosTime); put16 (out, fixedDosDate); put32 (out, crc);
        put32 (out, (uint32_t) packed.getSize()); put32 (out, (uint32_t) e.data.getSize());
        put16 (out, (uint32_t) name.size()); put16 (out, 0);
        out.write (name.data(), name.size());
        out.write (packed.getData(), packed.getSize());

        put32 (directory, 0x02014b50); put16 (directory, 20); put16 (directory, 20); put16 (directory, 0x0800);
        put16 (directory, method); put16 (directory, fixedDosTime); put16 (directory, fixedDosDate); put32 (directory, crc);
        put32 (directory, (uint32_t) packed.getSize()); put32 (directory, (uint32_t) e.data.getSize());
        put16 (directory, (uint32_t) name.size()); put16 (directory, 0); put16 (directory, 0);
        put16 (directory, 0); put16 (directory, 0); put32 (directory, attributes); put32 (directory, offset);
        directory.write (name.data(), name.size());
    }

    const auto directoryOffset = (uint32_t) out.getPosition();
    out << directory.getMemoryBlock();
    put32 (out, 0x06054b50); put16 (out, 0); put16 (out, 0);
    put16 (out, (uint32_t) entries.size()); put16 (out, (uint32_t) entries.size());
    put32 (out, (uint32_t) directory.getDataSize()); put32 (out, directoryOffset); put16 (out, 0);
    return out.getMemoryBlock();
}

bool collect (const juce::File& file, const juce::String& name, std::vector<ZipEntry>& entries, juce::String& problem)
{
    if (file.isSymbolicLink())
    {
        problem = file.getFullPathName();
        return false;
    }

    if (file.isDirectory())
    {
        entries.push_back ({ name + "/", {}, true });

        for (const auto& child : file.findChildFiles (juce::File::findFilesAndDirectories | juce::File::ignoreHiddenFiles, false))
            if (! collect (child, name + "/" + child.getFileName(), entries, problem))
                return false;

        return true;
    }

    ZipEntry e { name, {}, false };
    file.loadFileAsData (e.data);
    entries.push_back (std::move (e));
    return true;
}

/** Checks one format's archive against every rule; adds a line per problem. */
void checkArchive (const juce::MemoryBlock& zip, const juce::File& source, int format, const Product& product, Problems& problems,
                   Problems& warnings)
{
    const auto& f = formats[format];
    const auto bundle = bundleName (product.name, format);
    const PayloadArchive archive (zip.getData(), zip.getSize());

    if (! archive.isValid() || archive.getEntries().empty())
    {
        problems.add (source, "not a readable zip archive. Zip the bundle again, or give it as a folder.");
        return;
    }

    std::map<juce::String, juce::String> seenLowerCase;
    const PayloadArchive::Entry* binary = nullptr;
    const auto binaryPath = juce::String (*f.binaryFolder == 0 ? bundle : bundle + "/" + f.binaryFolder + "/" + bundle);
    const PayloadArchive::Entry* moduleInfo = nullptr;

    for (const auto& e : archive.getEntries())
    {
        const auto parts = PayloadArchive::safePathParts (e.name);

        if (parts.isEmpty())
        {
            problems.add (source, "entry \"" + e.name + "\" is absolute or climbs out with \"..\". Remove it.");
            continue;
        }

        if (parts[0] != bundle)
        {
            problems.add (source, "entry \"" + e.name + "\" lies outside the bundle \"" + bundle + "\". Put everything inside the bundle.");
            continue;
        }

        if (e.isLink())
        {
            problems.add (source, "entry \"" + e.name + "\" is a symbolic link. Replace it with the file itself.");
            continue;
        }

        const auto path = parts.joinIntoString ("/");
        const auto lower = path.toLowerCase();

        if (auto it = seenLowerCase.find (lower); it != seenLowerCase.end() && it->second != path)
            problems.add (source, "entries \"" + it->second + "\" and \"" + path + "\" differ only in case, and Windows folders do not. Rename one.");
        else
            seenLowerCase[lower] = path;

        if (! e.isFolder() && path == binaryPath)
            binary = &e;

        if (! e.isFolder() && format == 0 && path == bundle + "/Contents/Resources/moduleinfo.json")
            moduleInfo = &e;
    }

    if (binary == nullptr)
    {
        problems.add (source, juce::String (f.name) + " needs " + (*f.binaryFolder == 0 ? "the bundle to be one file, \"" + bundle + "\""
                                                                                       : "the binary at \"" + binaryPath + "\"")
                                  + ". Lay the bundle out that way.");
        return;
    }

    std::vector<uint8_t> bytes;

    if (! archive.extract (*binary, bytes))
    {
        problems.add (source, "\"" + binaryPath + "\" is damaged in the archive. Zip the bundle again.");
        return;
    }

    juce::MemoryInputStream stream (bytes.data(), bytes.size(), false);
    const auto image = PeVersionReader::readImage (stream);

    if (! image.isPe || image.machine != 0x8664 || ! image.isPe32Plus || ! image.isDll)
    {
        const auto what = ! image.isPe ? juce::String ("not a Windows binary")
                        : image.machine == 0x14c ? juce::String ("a 32-bit x86 binary")
                        : image.machine == 0xaa64 ? juce::String ("an ARM64 binary")
                        : image.machine != 0x8664 || ! image.isPe32Plus ? juce::String ("not an x86-64 binary")
                                                                          : juce::String ("an executable, not a DLL");
        problems.add (source, "\"" + binaryPath + "\" is " + what + ". Ship the 64-bit x86-64 DLL your build makes.");
        return;
    }

    switch (authenticode (bytes, image))
    {
        case Signature::none:
            warnings.add (source, "\"" + binaryPath + "\" carries no Authenticode signature, and antivirus programs flag unsigned "
                                      "plug-ins. Sign it in your build.");
            break;
        case Signature::broken:
            problems.add (source, "\"" + binaryPath + "\" has an Authenticode signature that does not match it: the file was changed "
                                      "after signing. Sign it again.");
            break;
        case Signature::matches:
            break;
    }

    if (! image.exports.contains (f.entryPoint))
        problems.add (source, "\"" + binaryPath + "\" does not export " + f.entryPoint + ", so hosts will not load it as "
                                  + f.name + ". Check the build of that format.");

    juce::StringArray fileVersion;
    fileVersion.addTokens (image.fileVersion, ".", {});

    if (fileVersion.size() != 4 || fileVersion[0] + "." + fileVersion[1] + "." + fileVersion[2] != product.version)
        problems.add (source, "\"" + binaryPath + "\" has file version \"" + image.fileVersion + "\", not " + product.version
                                  + ", so users would see NEEDS UPDATE after installing. Set the binary's version to " + product.version + ".");

    if (moduleInfo != nullptr)
    {
        juce::var info;

        if (! archive.extract (*moduleInfo, bytes))
        {
            problems.add (source, "moduleinfo.json is damaged in the archive. Zip the bundle again.");
        }
        else if (juce::JSON::parse (juce::String::fromUTF8 (reinterpret_cast<const char*> (bytes.data()), (int) bytes.size()), info).failed()
                 || ! info.isObject())
        {
            problems.add (source, "Contents/Resources/moduleinfo.json is not valid JSON. Generate it again with the VST3 SDK.");
        }
        else if (info.getProperty ("Version", {}).toString() != product.version)
        {
            problems.add (source, "Contents/Resources/moduleinfo.json gives version \"" + info.getProperty ("Version", {}).toString()
                                      + "\", not " + product.version + ". Generate it again for this version.");
        }
    }
}
} // namespace

juce::String bundleName (const juce::String& productName, int format)
{
    return productName.replaceCharacter ('_', ' ') + formats[format].extension;
}

bool zipFolder (const juce::File& folder, const juce::String& rootName, juce::MemoryBlock& out, juce::String& problem)
{
    std::vector<ZipEntry> entries;

    if (! collect (folder, rootName, entries, problem))
        return false;

    out = writeZip (entries);
    return true;
}

Result load (const juce::File& productFolder)
{
    Result result;
    Problems problems (result.problems), warnings (result.warnings);
    auto& product = result.product;
    product.folder = productFolder;

    const auto productFile = productFolder.getChildFile ("product.json");
    const auto productJson = readJson (productFile, problems);

    if (productJson.isObject())
    {
        product.name = field (productJson, "name", productFile, problems,
                              [] (const juce::String& n) { return isPlainFolderName (n) && n.length() <= 64; }, "a plain name usable as a file name");
        product.version = field (productJson, "version", productFile, problems, isVersion, "of the form x.y.z");
        product.pageUrl = field (productJson, "pageUrl", productFile, problems, isHttps, "an https address");
        const auto makerPath = field (productJson, "maker", productFile, problems);

        if (makerPath.isNotEmpty())
            product.maker.folder = productFolder.getChildFile (makerPath);
    }

    if (product.maker.folder != juce::File())
    {
        auto& maker = product.maker;
        const auto makerFile = maker.folder.getChildFile ("maker.json");
        const auto makerJson = readJson (makerFile, problems);

        if (makerJson.isObject())
        {
            maker.name = field (makerJson, "name", makerFile, problems);
            maker.settingsFolder = field (makerJson, "settingsFolder", makerFile, problems, isPlainFolderName, "one plain folder name");
            maker.settingsNote = field (makerJson, "settingsNote", makerFile, problems);
            maker.supportEmail = field (makerJson, "supportEmail", makerFile, problems, isEmailAddress, "an e-mail address");
            maker.communityUrl = field (makerJson, "communityUrl", makerFile, problems, isHttps, "an https address");
            maker.communityText = field (makerJson, "communityText", makerFile, problems);
            maker.copyright = field (makerJson, "copyright", makerFile, problems);
        }

        if (! maker.folder.getChildFile ("logo.svg").existsAsFile())
            problems.add (maker.folder.getChildFile ("logo.svg"), "missing. Add the maker's logo as SVG.");
    }

    for (auto* name : { "CHANGELOG.md", "LICENCE.txt" })
        if (! productFolder.getChildFile (name).existsAsFile())
            problems.add (productFolder.getChildFile (name), "missing. Add it beside product.json.");

    if (product.name.isEmpty() || product.version.isEmpty())
        return result;

    const auto bundles = productFolder.getChildFile ("bundles");

    for (int format = 0; format < 3; ++format)
    {
        const auto name = bundleName (product.name, format);
        const auto asFolder = bundles.getChildFile (name);
        const auto asZip = bundles.getChildFile (name + ".zip");
        auto& zip = product.archives[(size_t) format];

        if (asFolder.exists() || asFolder.isSymbolicLink())
        {
            juce::String link;

            if (format == 1 ? asFolder.isDirectory() : ! asFolder.isDirectory())
            {
                problems.add (asFolder, juce::String (formats[format].name) + (format == 1 ? " is one file, not a folder" : " is a folder, not one file")
                                            + ". Give the bundle as your build makes it.");
                continue;
            }

            if (! zipFolder (asFolder, name, zip, link))
            {
                problems.add (juce::File (link), "is a symbolic link. Replace it with the file or folder itself.");
                continue;
            }

            checkArchive (zip, asFolder, format, product, problems, warnings);
        }
        else if (asZip.existsAsFile())
        {
            asZip.loadFileAsData (zip);
            checkArchive (zip, asZip, format, product, problems, warnings);
        }
        else
        {
            continue;
        }

        product.carried[(size_t) format] = true;
    }

    // A bundle named otherwise would be left out without a word.
    juce::StringArray expected;
    for (int format = 0; format < 3; ++format)
        expected.addArray ({ bundleName (product.name, format), bundleName (product.name, format) + ".zip" });

    for (const auto& entry : bundles.findChildFiles (juce::File::findFilesAndDirectories | juce::File::ignoreHiddenFiles, false))
        if (! expected.contains (entry.getFileName()))
            problems.add (entry, "is not a bundle of this product. Name it \"" + expected.joinIntoString ("\", \"") + "\", or remove it.");

    if (! product.carried[0] && ! product.carried[1] && ! product.carried[2])
        problems.add (bundles, "holds no bundle named \"" + bundleName (product.name, 0) + "\", \"" + bundleName (product.name, 1)
                                   + "\" or \"" + bundleName (product.name, 2) + "\" (or the same with \".zip\"). Add at least one.");

    return result;
}

namespace
{
juce::String literal (const juce::String& text)
{
    juce::String out ("\"");

    for (auto* p = text.toRawUTF8(); *p != 0; ++p)
    {
        const auto c = (unsigned char) *p;

        if (c == '"' || c == '\\')
            out << '\\' << (char) c;
        else if (c >= 0x20 && c < 0x7f && c != '?')
            out << (char) c;
        else
        {
            char escape[8];
            std::snprintf (escape, sizeof (escape), "\\%03o", c);   // no trigraphs, no escapes running on
            out << escape;
        }
    }

    return out + "\"";
}
} // namespace

juce::String productSource (const Product& p)
{
    juce::String s;
    s << "// Made by the product kit from " << p.folder.getFileName() << " and its maker's folder. Not to be edited.\n"
      << "#define KW_PRODUCT_NAME " << literal (p.name) << "\n"
      << "#define KW_PRODUCT_VERSION " << literal (p.version) << "\n"
      << "#define KW_PRODUCT_PAGE_URL " << literal (p.pageUrl) << "\n"
      << "#define KW_MAKER_NAME " << literal (p.maker.name) << "\n"
      << "#define KW_MAKER_SETTINGS_FOLDER " << literal (p.maker.settingsFolder) << "\n"
      << "#define KW_MAKER_SETTINGS_NOTE " << literal (p.maker.settingsNote) << "\n"
      << "#define KW_MAKER_SUPPORT_EMAIL " << literal (p.maker.supportEmail) << "\n"
      << "#define KW_MAKER_COMMUNITY_URL " << literal (p.maker.communityUrl) << "\n"
      << "#define KW_MAKER_COMMUNITY_TEXT " << literal (p.maker.communityText) << "\n"
      << "#define KW_MAKER_COPYRIGHT " << literal (p.maker.copyright) << "\n"
      << "#define KW_CARRIED_FORMATS { " << (p.carried[0] ? "true" : "false") << ", " << (p.carried[1] ? "true" : "false")
      << ", " << (p.carried[2] ? "true" : "false") << " }\n";
    return s;
}

juce::String versionBlockHeader (const Product& p)
{
    return "#define KW_RC_COMPANY_NAME " + literal (p.maker.name) + "\n";
}
} // namespace ProductKit
