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
    // SqzCaptureOptions::memoryLimit, else QZFILTER_MEMORY_LIMIT, else MemAvailable.
    static SqzLimit Limit(const SqzCaptureOptions& options);
    // "512 KiB", "14.2 GiB".
    static std::string Describe(std::uint64_t bytes);
    // "64M", "2G", "1048576": bytes; false when malformed.
    static bool ParseSize(const std::string& text, std::uint64_t& bytes);
};
