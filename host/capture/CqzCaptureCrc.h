#pragma once
// The 32-bit cyclic redundancy check of zip archives (reflected, polynomial 0x04C11DB7), for
// entries read without their reader's own check. On the vector unit (CqzCaptureUnit) 64 bytes
// at a time by carry-less products that fold the bytes into the remainder; else, and for the
// last bytes, zlib's loop.

#include <cstddef>
#include <cstdint>

class CqzCaptureCrc
{
public:
    // The check of the bytes that gave `crc` (0 for none) followed by the n bytes at p.
    static std::uint32_t Update(std::uint32_t crc, const unsigned char* p, std::size_t n);
};
