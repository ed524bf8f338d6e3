#pragma once

// The product kit: a maker's product folder read, checked and turned into what the installer
// embeds. Built for the build machine, with the installer's own archive and PE readers.
#include <juce_core/juce_core.h>

#include <array>

namespace ProductKit
{
struct Maker
{
    juce::String name, settingsFolder, settingsNote, supportEmail, communityUrl, communityText, copyright;
    juce::File folder;
};

struct Product
{
    juce::String name, version, pageUrl;
    juce::File folder;
    Maker maker;

    /** Each format's archive, deterministic; empty for a format the product does not carry. */
    std::array<juce::MemoryBlock, 3> archives;
    std::array<bool, 3> carried {};
};

struct Result
{
    Product product;

    /** One line a maker can act on per problem: the file, what is wrong, what to do. */
    juce::StringArray problems;

    /** The same for what ships but deserves a look (unsigned plug-in binaries). */
    juce::StringArray warnings;

    bool ok() const { return problems.isEmpty(); }
};

/** Reads and checks the product folder, and its maker's folder, and packs every bundle. */
Result load (const juce::File& productFolder);

/** The folder zipped the way the build does: entries sorted, fixed times and attributes, one
    compression level, so the same folder gives the same bytes anywhere. Names start with
    rootName. Links are refused (false), with the offending path in problem.
*/
bool zipFolder (const juce::File& folder, const juce::String& rootName, juce::MemoryBlock& out, juce::String& problem);

/** The file name a format's bundle has for this product: "_" made " ", plus the extension. */
juce::String bundleName (const juce::String& productName, int format);

/** The generated C++ that gives the product's and the maker's strings to the installer. */
juce::String productSource (const Product& product);

/** The same few strings for the Windows version block (an .rc include). */
juce::String versionBlockHeader (const Product& product);
} // namespace ProductKit
