#pragma once
// Turns a setup tree into its binary form and back. The form, all integers little-endian:
//
//   magic "QZSP" (4 bytes), version u16 (1), reserved u16 (0), body length u32,
//   the root tag's body, then a CRC-32 (IEEE) of every byte before it (u32).
//   Tag body: entry count u32, then the entries.
//   Entry:    kind u8, name length u16, name (UTF-8), then by kind
//             1 tag: body length u32 + body; 2 text: length u32 + UTF-8; 3 bool: u8 0 or 1;
//             4 unsigned: u32; 5 byte block: length u32 + bytes.
//
// Decoding validates everything before it builds anything a caller sees: the checksum, every
// length against the bytes that are left, entry counts against the bytes they need, the nesting
// depth, the UTF-8 of names and texts, and that each tag body is used up exactly. Any fault
// throws CqzPersistenceException; no length field is trusted before it has been checked.

#include "qzSystem/persist/CqzPersistenceNode.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class CqzPersistenceCodec
{
public:
    static constexpr std::uint16_t Version = 1;
    // Whole encoded setup, header and checksum included.
    static constexpr std::size_t MaxSize = std::size_t{256} << 20;
    // Tag levels below the root.
    static constexpr int MaxDepth = 64;
    // Bytes of a name in UTF-8.
    static constexpr std::size_t MaxNameLength = 0xFFFF;
    static constexpr std::size_t HeaderSize = 12;
    static constexpr std::size_t ChecksumSize = 4;

    static std::vector<std::uint8_t> Encode(const CqzPersistenceNode& root);
    static std::unique_ptr<CqzPersistenceNode> Decode(const std::uint8_t* data, std::size_t size);
    static std::unique_ptr<CqzPersistenceNode> Decode(const std::vector<std::uint8_t>& data)
    {
        return Decode(data.data(), data.size());
    }

    // CRC-32 as used by the trailer.
    static std::uint32_t Checksum(const std::uint8_t* data, std::size_t size);
};
