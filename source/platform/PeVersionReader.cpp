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

juce::String read (juce::InputStream& stream)
{
    Reader reader (stream);

    uint8_t dos[64];
    if (! reader.readAt (0, dos, sizeof (dos)) || dos[0] != 'M' || dos[1] != 'Z')
        return {};

    const uint32_t peOffset = juce::ByteOrder::littleEndianInt (dos + 0x3c);
    uint8_t coff[24];
    if (! reader.readAt (peOffset, coff, sizeof (coff)) || std::memcmp (coff, "PE\0\0", 4) != 0)
        return {};

    const int numSections = juce::ByteOrder::littleEndianShort (coff + 6);
    const uint32_t optionalSize = juce::ByteOrder::littleEndianShort (coff + 20);

    if (numSections <= 0 || numSections > maxSections || optionalSize < 2 || optionalSize > 1024)
        return {};

    std::vector<uint8_t> optional (optionalSize);
    if (! reader.readAt (peOffset + 24ull, optional.data(), optionalSize))
        return {};

    const auto magic = juce::ByteOrder::littleEndianShort (optional.data());
    const uint32_t directoriesAt = magic == 0x20b ? 112 : (magic == 0x10b ? 96 : 0);

    if (directoriesAt == 0 || optionalSize < directoriesAt)
        return {};

    const uint32_t numDirectories = juce::ByteOrder::littleEndianInt (optional.data() + directoriesAt - 4);
    constexpr uint32_t resourceDirectory = 2;

    if (numDirectories <= resourceDirectory || optionalSize < directoriesAt + (resourceDirectory + 1) * 8)
        return {};

    const uint32_t resourceRva = juce::ByteOrder::littleEndianInt (optional.data() + directoriesAt + resourceDirectory * 8);

    if (resourceRva == 0)
        return {};

    std::vector<uint8_t> table (static_cast<size_t> (numSections) * 40);
    if (! reader.readAt (peOffset + 24ull + optionalSize, table.data(), static_cast<uint32_t> (table.size())))
        return {};

    std::vector<Section> sections;
    for (int i = 0; i < numSections; ++i)
    {
        const auto* s = table.data() + i * 40;
        sections.push_back ({ juce::ByteOrder::littleEndianInt (s + 12), juce::ByteOrder::littleEndianInt (s + 8), juce::ByteOrder::littleEndianInt (s + 16), juce::ByteOrder::littleEndianInt (s + 20) });
    }

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
