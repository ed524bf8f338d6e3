#include "PeBuilder.h"

#include <cstring>

namespace testing_support
{
void put16 (juce::MemoryBlock& b, size_t at, uint32_t v)
{
    b[at] = (char) (v & 0xff);
    b[at + 1] = (char) ((v >> 8) & 0xff);
}

void put32 (juce::MemoryBlock& b, size_t at, uint32_t v)
{
    put16 (b, at, v & 0xffff);
    put16 (b, at + 2, v >> 16);
}

juce::MemoryBlock makePe (const PeOptions& o)
{
    const size_t peAt = 0x40, optionalSize = o.pe32Plus ? 240 : 224;
    const size_t sectionTableAt = peAt + 24 + optionalSize;
    const size_t rawAt = 0x200;
    const uint32_t rva = 0x1000;
    const size_t versionSize = 0x58 + 92;

    // The export directory follows the version resource in the same section.
    const size_t exportsAt = versionSize;
    const size_t namePointersAt = exportsAt + 40;
    size_t namesAt = namePointersAt + (size_t) o.exports.size() * 4;
    size_t resSize = o.exports.isEmpty() ? versionSize : namesAt;
    for (auto& name : o.exports)
        resSize += (size_t) name.length() + 1;

    juce::MemoryBlock b (rawAt + resSize, true);
    b[0] = 'M';
    b[1] = 'Z';
    put32 (b, 0x3c, (uint32_t) peAt);
    b[peAt] = 'P';
    b[peAt + 1] = 'E';
    put16 (b, peAt + 4, o.machine);
    put16 (b, peAt + 22, o.dll ? 0x2022u : 0x0022u);
    put16 (b, peAt + 6, 1);
    put16 (b, peAt + 20, (uint32_t) optionalSize);

    const size_t opt = peAt + 24;
    const size_t directories = opt + (o.pe32Plus ? 112 : 96);
    put16 (b, opt, o.pe32Plus ? 0x20b : 0x10b);
    put32 (b, directories - 4, 16);

    if (o.withResources)
    {
        put32 (b, directories + 2 * 8, rva);
        put32 (b, directories + 2 * 8 + 4, (uint32_t) resSize);
    }

    if (! o.exports.isEmpty())
    {
        put32 (b, directories, rva + (uint32_t) exportsAt);
        put32 (b, directories + 4, (uint32_t) (resSize - exportsAt));
        put32 (b, rawAt + exportsAt + 24, (uint32_t) o.exports.size());
        put32 (b, rawAt + exportsAt + 32, rva + (uint32_t) namePointersAt);

        for (int i = 0; i < o.exports.size(); ++i)
        {
            put32 (b, rawAt + namePointersAt + (size_t) i * 4, rva + (uint32_t) namesAt);
            std::memcpy (b.begin() + rawAt + namesAt, o.exports[i].toRawUTF8(), (size_t) o.exports[i].length());
            namesAt += (size_t) o.exports[i].length() + 1;
        }
    }

    std::memcpy (b.begin() + sectionTableAt, ".rsrc\0\0\0", 8);
    put32 (b, sectionTableAt + 8, (uint32_t) resSize);
    put32 (b, sectionTableAt + 12, rva);
    put32 (b, sectionTableAt + 16, (uint32_t) resSize);
    put32 (b, sectionTableAt + 20, (uint32_t) rawAt);

    // type -> name -> language -> data entry -> VS_VERSIONINFO
    const size_t r = rawAt;
    put16 (b, r + 14, 1);
    put32 (b, r + 16, o.resourceType);
    put32 (b, r + 20, 0x80000018);
    put16 (b, r + 0x18 + 14, 1);
    put32 (b, r + 0x18 + 16, o.resourceName);
    put32 (b, r + 0x18 + 20, 0x80000030);
    put16 (b, r + 0x30 + 14, 1);
    put32 (b, r + 0x30 + 16, 0x409);
    put32 (b, r + 0x30 + 20, 0x48);
    put32 (b, r + 0x48, rva + 0x58);
    put32 (b, r + 0x48 + 4, 92);

    const size_t v = r + 0x58;
    put16 (b, v, 92);
    put16 (b, v + 2, 52);
    const char key[] = "VS_VERSION_INFO";
    for (size_t i = 0; i < sizeof (key); ++i)
        put16 (b, v + 6 + i * 2, (uint8_t) key[i]);
    put32 (b, v + 40, 0xfeef04bd);
    put32 (b, v + 44, 0x10000);
    put32 (b, v + 48, ((uint32_t) o.version[0] << 16) | o.version[1]);
    put32 (b, v + 52, ((uint32_t) o.version[2] << 16) | o.version[3]);
    return b;
}

void putBinaryWithVersion (const juce::File& binary, uint16_t minor, uint16_t patch)
{
    binary.getParentDirectory().createDirectory();
    PeOptions o;
    o.version[1] = minor;
    o.version[2] = patch;
    const auto pe = makePe (o);
    binary.replaceWithData (pe.getData(), pe.getSize());
}
} // namespace testing_support
