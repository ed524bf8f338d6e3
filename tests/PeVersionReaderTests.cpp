#include "platform/PeVersionReader.h"
#include "support/PeBuilder.h"
#include "support/TestSupport.h"

#include "BinaryData.h"

#include <gtest/gtest.h>

#include <regex>

using namespace testing_support;

namespace
{
/** Counts what a reader takes from a block of memory. */
class CountingStream : public juce::InputStream
{
public:
    explicit CountingStream (const juce::MemoryBlock& b) : inner (b, false) {}

    juce::int64 getTotalLength() override       { return inner.getTotalLength(); }
    bool isExhausted() override                 { return inner.isExhausted(); }
    juce::int64 getPosition() override          { return inner.getPosition(); }
    bool setPosition (juce::int64 p) override   { return inner.setPosition (p); }

    int read (void* dest, int n) override
    {
        const auto got = inner.read (dest, n);
        bytesRead += got;
        return got;
    }

    juce::int64 bytesRead = 0;

private:
    juce::MemoryInputStream inner;
};

juce::String versionOf (const juce::MemoryBlock& b)
{
    juce::MemoryInputStream in (b, false);
    return PeVersionReader::readFileVersion (in);
}

bool looksLikeVersion (const juce::String& s)
{
    return std::regex_match (s.toStdString(), std::regex (R"(\d+\.\d+\.\d+\.\d+)"));
}

juce::MemoryBlock shippedClapBinary()
{
    return testing_support::inflateEntry (BinaryData::clap_zip, (size_t) BinaryData::clap_zipSize,
                                          "QuernfieldReverb3.clap");
}
} // namespace

TEST (PeVersionReader, ReadsTheFixedFileVersion)
{
    struct Case { const char* name; PeOptions options; const char* expected; };
    const Case cases[] = {
        { "PE32+", {}, "3.2.1.0" },
        { "PE32", { false, true, 16, { 3, 2, 1, 0 }, 1, 0x8664, true, {} }, "3.2.1.0" },
        { "wide numbers", { true, true, 16, { 65535, 0, 10, 7 }, 1, 0x8664, true, {} }, "65535.0.10.7" },
        { "no resource directory", { true, false, 16, { 3, 2, 1, 0 }, 1, 0x8664, true, {} }, "" },
        { "resources but no version", { true, true, 3, { 3, 2, 1, 0 }, 1, 0x8664, true, {} }, "" },
        // Windows reads only VS_VERSION_INFO (ID 1); some binaries also carry a block under another ID.
        { "a version block under ID 102 only", { true, true, 16, { 3, 2, 1, 0 }, 102, 0x8664, true, {} }, "" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        EXPECT_EQ (versionOf (makePe (c.options)), c.expected);
    }
}

TEST (PeVersionReader, ReadsTheShippedPluginBinaryWithAFewSmallReads)
{
    const auto dll = shippedClapBinary();
    ASSERT_GT (dll.getSize(), 1000000u);

    CountingStream in (dll);
    EXPECT_EQ (PeVersionReader::readFileVersion (in), "3.2.1.0");
    EXPECT_LE (in.bytesRead, 64 * 1024);
}

TEST (PeVersionReader, FilesThatAreNotBinariesGiveNoVersion)
{
    testing_support::TempFolder temp;
    const auto text = temp.get().getChildFile ("notes.txt");
    text.replaceWithText ("MZ but nothing else");
    const auto empty = temp.get().getChildFile ("empty.dll");
    empty.create();

    EXPECT_EQ (PeVersionReader::readFileVersion (text), "");
    EXPECT_EQ (PeVersionReader::readFileVersion (empty), "");
    EXPECT_EQ (PeVersionReader::readFileVersion (temp.get()), "");
    EXPECT_EQ (PeVersionReader::readFileVersion (temp.get().getChildFile ("missing.dll")), "");
}

TEST (PeVersionReader, TruncatedBinariesGiveNoVersion)
{
    const auto pe = makePe ({});

    for (size_t length = 0; length < pe.getSize(); ++length)
    {
        juce::MemoryBlock cut (pe.getData(), length);
        EXPECT_EQ (versionOf (cut), "") << "cut at " << length;
    }

    // The shipped binary keeps its resources at the end, as linkers lay them out.
    const auto dll = shippedClapBinary();
    for (auto fraction : { 0.0, 0.001, 0.25, 0.5, 0.99 })
    {
        juce::MemoryBlock cut (dll.getData(), (size_t) ((double) dll.getSize() * fraction));
        EXPECT_EQ (versionOf (cut), "") << "cut at " << fraction;
    }
}

TEST (PeVersionReader, CorruptedHeadersNeverReadOutOfBoundsOrInventAVersion)
{
    const auto pe = makePe ({});

    // Every byte of the image, set to each of a few hostile values in turn.
    for (size_t at = 0; at < pe.getSize(); ++at)
    {
        for (auto value : { 0x00, 0x7f, 0x80, 0xff })
        {
            auto bad = pe;
            bad[at] = (char) value;
            CountingStream in (bad);
            const auto version = PeVersionReader::readFileVersion (in);
            EXPECT_TRUE (version.isEmpty() || looksLikeVersion (version)) << "byte " << at << " = " << value;
            EXPECT_LE (in.bytesRead, 64 * 1024);
        }
    }

    // Damage where the reader must notice it.
    struct Case { const char* name; size_t at; uint32_t value; };
    const Case cases[] = {
        { "DOS signature", 0, 'X' },
        { "PE header beyond the file", 0x3c, 0x7ffffff0 },
        { "PE signature", 0x40, 'N' },
        { "optional header magic", 0x40 + 24, 0x999 },
        { "resource RVA outside every section", 0x40 + 24 + 112 + 16, 0x00900000 },
        { "huge entry count", 0x200 + 12, 0xffffffff },
        { "data entry size too small", 0x200 + 0x48 + 4, 8 },
        { "version key", 0x200 + 0x58 + 6, 'W' },
        { "fixed-info signature", 0x200 + 0x58 + 40, 0x12345678 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        auto bad = pe;
        put32 (bad, c.at, c.value);
        CountingStream in (bad);
        EXPECT_EQ (PeVersionReader::readFileVersion (in), "");
        EXPECT_LE (in.bytesRead, 64 * 1024);
    }
}
