#pragma once

// The two digests Authenticode signatures use, for the kit's check of a signed plug-in binary.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Digests
{
/** Feeds bytes in pieces; finish() gives the digest. */
class Sha
{
public:
    explicit Sha (bool sha256);
    void add (const uint8_t* data, size_t size);
    std::vector<uint8_t> finish();

private:
    void block (const uint8_t* p);

    bool is256;
    uint32_t h[8];
    uint8_t buffer[64];
    size_t buffered = 0;
    uint64_t total = 0;
};
} // namespace Digests
