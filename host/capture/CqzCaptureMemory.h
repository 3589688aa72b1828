#pragma once
// How much memory an import may take for its stores, and sizes written for people.

#include "capture/SqzCaptureOptions.h"

#include <cstdint>
#include <string>

class CqzCaptureMemory
{
public:
    struct SqzLimit
    {
        std::uint64_t bytes = 0; // 0: no limit known
        std::string source;      // where it comes from, for messages
    };
    // SqzCaptureOptions::memoryLimit, else QZFILTER_MEMORY_LIMIT, else MemAvailable. A
    // QZFILTER_MEMORY_LIMIT that is not a size above 0 throws CqzCaptureError.
    static SqzLimit Limit(const SqzCaptureOptions& options);
    // "512 KiB", "14.2 GiB".
    static std::string Describe(std::uint64_t bytes);
    // "64M", "512MB", "1.5G", "1TiB", "1048576": bytes (units are powers of 1024); false when
    // malformed or not above 0.
    static bool ParseSize(const std::string& text, std::uint64_t& bytes);
};
