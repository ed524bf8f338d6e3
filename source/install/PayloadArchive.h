#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <vector>

/** A zip archive held in memory, read from its central directory.

    Unlike juce::ZipFile it keeps each entry's CRC-32 and sizes, so every inflated entry is
    checked against them: a damaged payload is found before anything of it is installed.
*/
class PayloadArchive
{
public:
    struct Entry
    {
        juce::String name;          // as stored, backslashes and all
        uint16_t method = 0;        // 0 stored, 8 deflate
        uint32_t crc = 0;
        uint64_t compressedSize = 0;
        uint64_t uncompressedSize = 0;
        uint64_t localHeaderOffset = 0;
        juce::Time time;            // the entry's DOS time stamp, as local time
        uint16_t madeBy = 0;        // high byte 3: Unix, whose mode is in the attributes' high half
        uint32_t externalAttributes = 0;

        bool isFolder() const { return name.endsWithChar ('\\') || name.endsWithChar ('/'); }

        /** A symbolic link, as Unix zip tools store one. */
        bool isLink() const { return (madeBy >> 8) == 3 && ((externalAttributes >> 16) & 0170000) == 0120000; }
    };

    /** Reads the directory; isValid() is false when the archive cannot be read. */
    PayloadArchive (const void* data, size_t size);

    bool isValid() const noexcept                   { return valid; }
    const std::vector<Entry>& getEntries() const    { return entries; }

    /** Inflates a file entry into out, checking its size and CRC-32. False when damaged. */
    bool extract (const Entry& entry, std::vector<uint8_t>& out) const;

    /** The entry's path as relative path parts; empty when it could land outside its
        destination (absolute, drive-qualified, or climbing with "..").
    */
    static juce::StringArray safePathParts (const juce::String& entryName);

private:
    bool readDirectory();

    const uint8_t* data;
    size_t size;
    bool valid = false;
    std::vector<Entry> entries;
};
