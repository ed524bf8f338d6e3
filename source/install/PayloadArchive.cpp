#include "PayloadArchive.h"

#include <zlib.h>

namespace
{

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
        if (juce::ByteOrder::littleEndianInt (data + end) == endOfDirectorySignature)
            break;

        if (end == searchFrom)
            return false;
    }

    const auto count = juce::ByteOrder::littleEndianShort (data + end + 10);
    const uint64_t directorySize = juce::ByteOrder::littleEndianInt (data + end + 12);
    const uint64_t directoryOffset = juce::ByteOrder::littleEndianInt (data + end + 16);

    if (directoryOffset + directorySize > end)
        return false;

    auto pos = directoryOffset;

    for (int i = 0; i < count; ++i)
    {
        if (pos + 46 > end || juce::ByteOrder::littleEndianInt (data + pos) != directorySignature)
            return false;

        const auto* h = data + pos;
        const uint64_t nameLength = juce::ByteOrder::littleEndianShort (h + 28), extraLength = juce::ByteOrder::littleEndianShort (h + 30), commentLength = juce::ByteOrder::littleEndianShort (h + 32);

        if (pos + 46 + nameLength + extraLength + commentLength > end)
            return false;

        Entry e;
        e.method = juce::ByteOrder::littleEndianShort (h + 10);
        e.time = fromDos (juce::ByteOrder::littleEndianShort (h + 12), juce::ByteOrder::littleEndianShort (h + 14));
        e.crc = juce::ByteOrder::littleEndianInt (h + 16);
        e.compressedSize = juce::ByteOrder::littleEndianInt (h + 20);
        e.uncompressedSize = juce::ByteOrder::littleEndianInt (h + 24);
        e.localHeaderOffset = juce::ByteOrder::littleEndianInt (h + 42);
        e.madeBy = juce::ByteOrder::littleEndianShort (h + 4);
        e.externalAttributes = juce::ByteOrder::littleEndianInt (h + 38);
        e.name = juce::String::fromUTF8 (reinterpret_cast<const char*> (h + 46), (int) nameLength);
        entries.push_back (std::move (e));

        pos += 46 + nameLength + extraLength + commentLength;
    }

    return true;
}

bool PayloadArchive::extract (const Entry& entry, std::vector<uint8_t>& out) const
{
    const auto at = entry.localHeaderOffset;

    if (at + 30 > size || juce::ByteOrder::littleEndianInt (data + at) != localHeaderSignature || entry.uncompressedSize > maxEntryBytes)
        return false;

    const auto start = at + 30 + juce::ByteOrder::littleEndianShort (data + at + 26) + juce::ByteOrder::littleEndianShort (data + at + 28);

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
