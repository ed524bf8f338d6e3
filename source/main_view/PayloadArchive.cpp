#include "PayloadArchive.h"

#include <zlib.h>

namespace
{
uint16_t le16 (const uint8_t* p) { return static_cast<uint16_t> (p[0] | (p[1] << 8)); }

uint32_t le32 (const uint8_t* p)
{
    return static_cast<uint32_t> (p[0]) | (static_cast<uint32_t> (p[1]) << 8)
         | (static_cast<uint32_t> (p[2]) << 16) | (static_cast<uint32_t> (p[3]) << 24);
}

constexpr uint32_t endOfDirectorySignature = 0x06054b50;
constexpr uint32_t directorySignature = 0x02014b50;
constexpr uint32_t localHeaderSignature = 0x04034b50;
constexpr uint64_t maxEntryBytes = 1ull << 31;

juce::Time fromDos (uint16_t time, uint16_t date)
{
    return juce::Time (1980 + (date >> 9), ((date >> 5) & 15) - 1, date & 31,
                       time >> 11, (time >> 5) & 63, (time & 31) * 2, 0, true);
}
} // namespace

PayloadArchive::PayloadArchive (const void* d, size_t s)
    : data (static_cast<const uint8_t*> (d)), size (s)
{
    valid = data != nullptr && readDirectory();
}

bool PayloadArchive::readDirectory()
{
    if (size < 22)
        return false;

    // The end record sits in the last 64 KiB + 22 bytes (its comment is at most 65535 bytes).
    const size_t searchFrom = size > 22 + 65535 ? size - 22 - 65535 : 0;
    size_t end = size - 22;

    for (;; --end)
    {
        if (le32 (data + end) == endOfDirectorySignature)
            break;

        if (end == searchFrom)
            return false;
    }

    const auto count = le16 (data + end + 10);
    const uint64_t directorySize = le32 (data + end + 12);
    const uint64_t directoryOffset = le32 (data + end + 16);

    if (directoryOffset + directorySize > end)
        return false;

    auto pos = directoryOffset;

    for (int i = 0; i < count; ++i)
    {
        if (pos + 46 > end || le32 (data + pos) != directorySignature)
            return false;

        const auto* h = data + pos;
        const uint64_t nameLength = le16 (h + 28), extraLength = le16 (h + 30), commentLength = le16 (h + 32);

        if (pos + 46 + nameLength + extraLength + commentLength > end)
            return false;

        Entry e;
        e.method = le16 (h + 10);
        e.time = fromDos (le16 (h + 12), le16 (h + 14));
        e.crc = le32 (h + 16);
        e.compressedSize = le32 (h + 20);
        e.uncompressedSize = le32 (h + 24);
        e.localHeaderOffset = le32 (h + 42);
        e.name = juce::String::fromUTF8 (reinterpret_cast<const char*> (h + 46), (int) nameLength);
        entries.push_back (std::move (e));

        pos += 46 + nameLength + extraLength + commentLength;
    }

    return true;
}

bool PayloadArchive::extract (const Entry& entry, std::vector<uint8_t>& out) const
{
    const auto at = entry.localHeaderOffset;

    if (at + 30 > size || le32 (data + at) != localHeaderSignature || entry.uncompressedSize > maxEntryBytes)
        return false;

    const auto start = at + 30 + le16 (data + at + 26) + le16 (data + at + 28);

    if (start > size || entry.compressedSize > size - start)
        return false;

    const auto* in = data + start;
    out.resize ((size_t) entry.uncompressedSize);

    if (entry.method == 0)
    {
        if (entry.compressedSize != entry.uncompressedSize)
            return false;

        std::memcpy (out.data(), in, out.size());
    }
    else if (entry.method == 8)
    {
        z_stream z {};

        if (inflateInit2 (&z, -MAX_WBITS) != Z_OK)
            return false;

        z.next_in = const_cast<Bytef*> (in);
        z.avail_in = (uInt) entry.compressedSize;
        z.next_out = out.data();
        z.avail_out = (uInt) out.size();

        const auto result = inflate (&z, Z_FINISH);
        const auto produced = z.total_out;
        inflateEnd (&z);

        // Ends exactly where the directory says: neither short nor with data to spare.
        if (result != Z_STREAM_END || produced != entry.uncompressedSize)
            return false;
    }
    else
    {
        return false;
    }

    return crc32 (0L, out.data(), (uInt) out.size()) == entry.crc;
}

juce::StringArray PayloadArchive::safePathParts (const juce::String& entryName)
{
    const auto path = entryName.replaceCharacter ('\\', '/');

    if (path.startsWithChar ('/') || (path.length() >= 2 && path[1] == ':'))
        return {};

    juce::StringArray parts;
    parts.addTokens (path, "/", {});
    parts.removeEmptyStrings();

    for (const auto& part : parts)
        if (part == "." || part == ".." || part.containsChar (':'))
            return {};

    return parts;
}
