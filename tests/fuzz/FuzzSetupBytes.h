#pragma once
// Helps a fuzz target past the setup store's checksum: Fit makes the header's body length and
// the trailing checksum agree with mutated bytes, so that mutations reach the readers.

#include "qzSystem/persist/CqzPersistenceCodec.h"

#include <cstdint>
#include <vector>

inline void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + std::size_t(i)] = std::uint8_t(value >> (8 * i));
}

// Makes the body length and the checksum agree with the bytes.
inline void Fit(std::vector<std::uint8_t>& bytes)
{
    const std::size_t header = CqzPersistenceCodec::HeaderSize;
    const std::size_t trailer = CqzPersistenceCodec::ChecksumSize;
    if (bytes.size() < header + trailer)
        return;
    PutU32(bytes, 8, std::uint32_t(bytes.size() - header - trailer));
    const std::size_t end = bytes.size() - trailer;
    PutU32(bytes, end, CqzPersistenceCodec::Checksum(bytes.data(), end));
}
