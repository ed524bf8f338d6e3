#include "PeVersionReader.h"

#include "FileChecks.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
constexpr uint32_t rtVersion = 16;
constexpr uint32_t versionInfoId = 1;
constexpr uint32_t fixedFileInfoSignature = 0xfeef04bd;
constexpr int maxSections = 96;
constexpr uint32_t maxDirectoryEntries = 1024;
constexpr uint32_t versionBytesWanted = 40 + 52;  // header and key, then VS_FIXEDFILEINFO

struct Section
{
    uint32_t virtualAddress, virtualSize, rawSize, rawOffset;
};

class Reader
{
public:
    explicit Reader (juce::InputStream& s) : stream (s), length (s.getTotalLength()) {}

    bool readAt (uint64_t offset, void* dest, uint32_t size)
    {
        if (length < 0 || offset > static_cast<uint64_t> (length) || size > static_cast<uint64_t> (length) - offset)
            return false;

        if (! stream.setPosition (static_cast<juce::int64> (offset)))
            return false;

        return stream.read (dest, static_cast<int> (size)) == static_cast<int> (size);
    }

private:
    juce::InputStream& stream;
    juce::int64 length;
};

bool rvaToOffset (const std::vector<Section>& sections, uint32_t rva, uint64_t& offset)
{
    for (auto& s : sections)
    {
        if (rva >= s.virtualAddress && rva - s.virtualAddress < s.rawSize)
        {
            offset = static_cast<uint64_t> (s.rawOffset) + (rva - s.virtualAddress);
            return true;
        }
    }

    return false;
}

// One level of the resource tree: the entry to follow, by ID (or the first one when id is 0).
bool findEntry (Reader& reader, uint64_t resourceBase, uint32_t directoryOffset,
                uint32_t wantedId, bool wantSubdirectory, uint32_t& target)
{
    uint8_t header[16];

    if (! reader.readAt (resourceBase + directoryOffset, header, sizeof (header)))
        return false;

    const uint32_t count = static_cast<uint32_t> (juce::ByteOrder::littleEndianShort (header + 12)) + juce::ByteOrder::littleEndianShort (header + 14);

    if (count == 0)
        return false;

    const auto n = std::min (count, maxDirectoryEntries);
    std::vector<uint8_t> entries (n * 8);

    if (! reader.readAt (resourceBase + directoryOffset + 16, entries.data(), n * 8))
        return false;

    for (uint32_t i = 0; i < n; ++i)
    {
        const auto name = juce::ByteOrder::littleEndianInt (entries.data() + i * 8);
        const auto offset = juce::ByteOrder::littleEndianInt (entries.data() + i * 8 + 4);
        const bool isNamed = (name & 0x80000000u) != 0;
        const bool isDirectory = (offset & 0x80000000u) != 0;

        if (wantedId != 0 && (isNamed || name != wantedId))
            continue;

        if (isDirectory != wantSubdirectory)
            return false;

        target = offset & 0x7fffffffu;
        return true;
    }

    return false;
}

/** The headers every read starts from. */
struct Headers
{
    uint32_t peOffset = 0;
    uint16_t machine = 0, characteristics = 0, magic = 0;
    std::vector<uint8_t> optional;
    uint32_t directoriesAt = 0, numDirectories = 0;
    std::vector<Section> sections;

    /** The RVA of a data directory, 0 when there is none. */
    uint32_t directoryRva (uint32_t index) const
    {
        if (numDirectories <= index || optional.size() < directoriesAt + (index + 1) * 8)
            return 0;

        return juce::ByteOrder::littleEndianInt (optional.data() + directoriesAt + index * 8);
    }
};

bool readHeaders (Reader& reader, Headers& h)
{
    uint8_t dos[64];
    if (! reader.readAt (0, dos, sizeof (dos)) || dos[0] != 'M' || dos[1] != 'Z')
        return false;

    const uint32_t peOffset = juce::ByteOrder::littleEndianInt (dos + 0x3c);
    uint8_t coff[24];
    if (! reader.readAt (peOffset, coff, sizeof (coff)) || std::memcmp (coff, "PE\0\0", 4) != 0)
        return false;

    h.peOffset = peOffset;
    h.machine = juce::ByteOrder::littleEndianShort (coff + 4);
    h.characteristics = juce::ByteOrder::littleEndianShort (coff + 22);
    const int numSections = juce::ByteOrder::littleEndianShort (coff + 6);
    const uint32_t optionalSize = juce::ByteOrder::littleEndianShort (coff + 20);

    if (numSections <= 0 || numSections > maxSections || optionalSize < 2 || optionalSize > 1024)
        return false;

    h.optional.resize (optionalSize);
    if (! reader.readAt (peOffset + 24ull, h.optional.data(), optionalSize))
        return false;

    h.magic = juce::ByteOrder::littleEndianShort (h.optional.data());
    h.directoriesAt = h.magic == 0x20b ? 112 : (h.magic == 0x10b ? 96 : 0);

    if (h.directoriesAt == 0 || optionalSize < h.directoriesAt)
        return false;

    h.numDirectories = juce::ByteOrder::littleEndianInt (h.optional.data() + h.directoriesAt - 4);

    std::vector<uint8_t> table (static_cast<size_t> (numSections) * 40);
    if (! reader.readAt (peOffset + 24ull + optionalSize, table.data(), static_cast<uint32_t> (table.size())))
        return false;

    for (int i = 0; i < numSections; ++i)
    {
        const auto* s = table.data() + i * 40;
        h.sections.push_back ({ juce::ByteOrder::littleEndianInt (s + 12), juce::ByteOrder::littleEndianInt (s + 8), juce::ByteOrder::littleEndianInt (s + 16), juce::ByteOrder::littleEndianInt (s + 20) });
    }

    return true;
}

juce::StringArray readExports (Reader& reader, const Headers& h)
{
    constexpr uint32_t maxNames = 4096, maxNameLength = 256;
    juce::StringArray names;
    uint64_t directory = 0;

    if (! rvaToOffset (h.sections, h.directoryRva (0), directory))
        return names;

    uint8_t header[40];
    if (! reader.readAt (directory, header, sizeof (header)))
        return names;

    const auto count = std::min (juce::ByteOrder::littleEndianInt (header + 24), maxNames);
    uint64_t nameTable = 0;

    if (! rvaToOffset (h.sections, juce::ByteOrder::littleEndianInt (header + 32), nameTable))
        return names;

    std::vector<uint8_t> rvas (count * 4);
    if (count == 0 || ! reader.readAt (nameTable, rvas.data(), count * 4))
        return names;

    for (uint32_t i = 0; i < count; ++i)
    {
        uint64_t at = 0;
        char name[maxNameLength] {};

        if (! rvaToOffset (h.sections, juce::ByteOrder::littleEndianInt (rvas.data() + i * 4), at))
            continue;

        // Bounded: the name may end before the file does.
        for (uint32_t k = 0; k < maxNameLength - 1 && reader.readAt (at + k, name + k, 1) && name[k] != 0; ++k) {}
        names.add (juce::String (juce::CharPointer_UTF8 (name)));
    }

    return names;
}

juce::String read (juce::InputStream& stream)
{
    Reader reader (stream);
    Headers h;

    if (! readHeaders (reader, h))
        return {};

    const auto& sections = h.sections;
    const uint32_t resourceRva = h.directoryRva (2);

    if (resourceRva == 0)
        return {};

    uint64_t resourceBase = 0;
    if (! rvaToOffset (sections, resourceRva, resourceBase))
        return {};

    // Type RT_VERSION, then the name VS_VERSION_INFO (ID 1, the only one Windows reads), then its
    // first language: a data entry.
    uint32_t nameDirectory = 0, languageDirectory = 0, dataEntry = 0;

    if (! findEntry (reader, resourceBase, 0, rtVersion, true, nameDirectory)
        || ! findEntry (reader, resourceBase, nameDirectory, versionInfoId, true, languageDirectory)
        || ! findEntry (reader, resourceBase, languageDirectory, 0, false, dataEntry))
        return {};

    uint8_t entry[16];
    if (! reader.readAt (resourceBase + dataEntry, entry, sizeof (entry)))
        return {};

    const uint32_t dataRva = juce::ByteOrder::littleEndianInt (entry);
    const uint32_t dataSize = juce::ByteOrder::littleEndianInt (entry + 4);
    uint64_t dataOffset = 0;

    if (dataSize < versionBytesWanted || ! rvaToOffset (sections, dataRva, dataOffset))
        return {};

    // VS_VERSIONINFO: wLength, wValueLength, wType, L"VS_VERSION_INFO", padding to 32 bits, then the value.
    std::array<uint8_t, versionBytesWanted> info;
    if (! reader.readAt (dataOffset, info.data(), versionBytesWanted))
        return {};

    static const char key[] = "VS_VERSION_INFO";
    for (size_t i = 0; i < sizeof (key); ++i)
        if (juce::ByteOrder::littleEndianShort (info.data() + 6 + i * 2) != static_cast<uint16_t> (key[i]))
            return {};

    const auto* fixed = info.data() + 40;

    if (juce::ByteOrder::littleEndianShort (info.data() + 2) < 52 || juce::ByteOrder::littleEndianInt (fixed) != fixedFileInfoSignature)
        return {};

    const uint32_t ms = juce::ByteOrder::littleEndianInt (fixed + 8);
    const uint32_t ls = juce::ByteOrder::littleEndianInt (fixed + 12);

    return juce::String (ms >> 16) + "." + juce::String (ms & 0xffff) + "."
         + juce::String (ls >> 16) + "." + juce::String (ls & 0xffff);
}
} // namespace

juce::String PeVersionReader::readFileVersion (juce::InputStream& stream)
{
    return read (stream);
}

PeVersionReader::Image PeVersionReader::readImage (juce::InputStream& stream)
{
    Image image;
    Reader reader (stream);
    Headers h;

    if (! readHeaders (reader, h))
        return image;

    image.isPe = true;
    image.machine = h.machine;
    image.isDll = (h.characteristics & 0x2000) != 0;
    image.isPe32Plus = h.magic == 0x20b;
    image.exports = readExports (reader, h);
    image.fileVersion = read (stream);

    // The security directory holds a file offset, not an RVA.
    image.checksumOffset = h.peOffset + 24 + 64;
    image.securityEntryOffset = h.peOffset + 24 + h.directoriesAt + 4 * 8;
    if (h.numDirectories > 4 && h.optional.size() >= h.directoriesAt + 5 * 8)
    {
        image.certificatesOffset = juce::ByteOrder::littleEndianInt (h.optional.data() + h.directoriesAt + 4 * 8);
        image.certificatesSize = juce::ByteOrder::littleEndianInt (h.optional.data() + h.directoriesAt + 4 * 8 + 4);
    }
    return image;
}

juce::String PeVersionReader::readFileVersion (const juce::File& binary)
{
    // Only a regular file is read: a FIFO in the bundle must not block the scan.
    auto stream = platform::openRegularFile (binary);

    if (stream == nullptr)
        return {};

    return read (*stream);
}

namespace platform
{
juce::String binaryFileVersion (const juce::File& file)
{
    // Read ourselves on every edition: bounded reads of the headers and the resource section only.
    return PeVersionReader::readFileVersion (file);
}
} // namespace platform
