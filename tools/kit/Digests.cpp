#include "Digests.h"

#include <cstring>

namespace Digests
{
namespace
{
uint32_t rotl (uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }
uint32_t rotr (uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }
uint32_t be32 (const uint8_t* p) { return ((uint32_t) p[0] << 24) | ((uint32_t) p[1] << 16) | ((uint32_t) p[2] << 8) | p[3]; }

const uint32_t k256[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2
};
} // namespace

Sha::Sha (bool sha256) : is256 (sha256)
{
    static const uint32_t init256[8] = { 0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19 };
    static const uint32_t init1[8] = { 0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476, 0xc3d2e1f0, 0, 0, 0 };
    std::memcpy (h, is256 ? init256 : init1, sizeof (h));
}

void Sha::block (const uint8_t* p)
{
    if (is256)
    {
        uint32_t w[64];
        for (int i = 0; i < 16; ++i)
            w[i] = be32 (p + i * 4);
        for (int i = 16; i < 64; ++i)
            w[i] = w[i - 16] + (rotr (w[i - 15], 7) ^ rotr (w[i - 15], 18) ^ (w[i - 15] >> 3)) + w[i - 7]
                 + (rotr (w[i - 2], 17) ^ rotr (w[i - 2], 19) ^ (w[i - 2] >> 10));

        uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], k = h[7];
        for (int i = 0; i < 64; ++i)
        {
            const uint32_t t1 = k + (rotr (e, 6) ^ rotr (e, 11) ^ rotr (e, 25)) + ((e & f) ^ (~e & g)) + k256[i] + w[i];
            const uint32_t t2 = (rotr (a, 2) ^ rotr (a, 13) ^ rotr (a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            k = g; g = f; f = e; e = d + t1; d = c; c = b; b = a; a = t1 + t2;
        }
        h[0] += a; h[1] += b; h[2] += c; h[3] += d; h[4] += e; h[5] += f; h[6] += g; h[7] += k;
        return;
    }

    uint32_t w[80];
    for (int i = 0; i < 16; ++i)
        w[i] = be32 (p + i * 4);
    for (int i = 16; i < 80; ++i)
        w[i] = rotl (w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);

    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    for (int i = 0; i < 80; ++i)
    {
        const uint32_t f = i < 20 ? ((b & c) | (~b & d)) : i < 40 ? (b ^ c ^ d) : i < 60 ? ((b & c) | (b & d) | (c & d)) : (b ^ c ^ d);
        const uint32_t k = i < 20 ? 0x5a827999 : i < 40 ? 0x6ed9eba1 : i < 60 ? 0x8f1bbcdc : 0xca62c1d6;
        const uint32_t t = rotl (a, 5) + f + e + k + w[i];
        e = d; d = c; c = rotl (b, 30); b = a; a = t;
    }
    h[0] += a; h[1] += b; h[2] += c; h[3] += d; h[4] += e;
}

void Sha::add (const uint8_t* data, size_t size)
{
    total += size;

    while (size > 0)
    {
        const auto n = std::min (size, sizeof (buffer) - buffered);
        std::memcpy (buffer + buffered, data, n);
        buffered += n;
        data += n;
        size -= n;

        if (buffered == sizeof (buffer))
        {
            block (buffer);
            buffered = 0;
        }
    }
}

std::vector<uint8_t> Sha::finish()
{
    const uint64_t bits = total * 8;
    const uint8_t one = 0x80, zero = 0;
    add (&one, 1);
    while (buffered != 56)
        add (&zero, 1);

    uint8_t length[8];
    for (int i = 0; i < 8; ++i)
        length[i] = (uint8_t) (bits >> (56 - 8 * i));
    add (length, 8);

    std::vector<uint8_t> out;
    for (int i = 0; i < (is256 ? 8 : 5); ++i)
        for (int s = 24; s >= 0; s -= 8)
            out.push_back ((uint8_t) (h[i] >> s));
    return out;
}
} // namespace Digests
