#pragma once
// The bulk work of the session importer on samples of up to 8 bytes: where a run of samples
// changes, the samples widened to words, the channels of many rows packed 64 to a word, and
// the values of a label of up to 8 neighbouring channels a byte a row. On a processor with
// AVX-512 the samples are compared and the channels tested a vector at a time (masked loads:
// nothing is read outside the samples); without it, or forced off (CqzCaptureUnit), plain
// loops give the same answers.

#include <cstddef>
#include <cstdint>

class CqzSrSamples
{
public:
    // Bit i is set where sample i of the n (at most 64) samples of `unit` (1 to 8) bytes at
    // p, little-endian and cut to `mask`, differs from the sample before it; the sample
    // before the first is `previous` (already cut).
    static std::uint64_t Changes(const unsigned char* p, std::size_t unit, std::size_t n,
                                 std::uint64_t previous, std::uint64_t mask);
    // The 64 samples of `unit` (1 to 8) bytes at p, cut to `mask`, as words.
    static void Widen(const unsigned char* p, std::size_t unit, std::uint64_t mask,
                      std::uint64_t* rows);
    // The channels of the n rows of samples of `unit` (1 to 8) bytes whose byte is in
    // `bytes` (bit b: channels 8b to 8b + 7), packed: channel c of row i to bit i % 64 of
    // out[c * words + i / 64], words being (n + 63) / 64; the bits after row n - 1 are 0.
    // The words of the other channels are left as they are.
    static void Planes(const std::uint64_t* rows, std::size_t n, std::size_t unit,
                       unsigned bytes, std::uint64_t* out);
    // The value of up to 8 channels from channel `shift` (0 to 63) on of each of the n rows:
    // out[i] = (rows[i] >> shift) & mask, mask at most 0xff.
    static void Field(const std::uint64_t* rows, std::size_t n, int shift, std::uint8_t mask,
                      std::uint8_t* out);
};
