#include "capture/CqzCaptureMemory.h"

#include "capture/CqzCaptureNumber.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

CqzCaptureMemory::SqzLimit CqzCaptureMemory::Limit(const SqzCaptureOptions& options)
{
    if (options.memoryLimit != 0)
        return {options.memoryLimit, "the memory limit"};
    if (const char* text = std::getenv("QZFILTER_MEMORY_LIMIT"))
    {
        std::uint64_t bytes = 0;
        if (ParseSize(text, bytes) && bytes != 0)
            return {bytes, "QZFILTER_MEMORY_LIMIT"};
    }
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kib = 0;
    std::string unit;
    while (meminfo >> key >> kib >> unit)
        if (key == "MemAvailable:")
            return {kib << 10, "available (MemAvailable)"};
    return {};
}

std::string CqzCaptureMemory::Describe(std::uint64_t bytes)
{
    static const char* const units[] = {"bytes", "KiB", "MiB", "GiB", "TiB"};
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024 && unit < 4)
    {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", value, units[unit]);
    return text;
}

bool CqzCaptureMemory::ParseSize(const std::string& text, std::uint64_t& bytes)
{
    std::string digits = text;
    int shift = 0;
    if (!digits.empty())
        switch (digits.back())
        {
        case 'k':
        case 'K':
            shift = 10;
            break;
        case 'm':
        case 'M':
            shift = 20;
            break;
        case 'g':
        case 'G':
            shift = 30;
            break;
        default:
            break;
        }
    if (shift != 0)
        digits.pop_back();
    std::uint64_t value = 0;
    if (!CqzCaptureNumber::ParseUnsigned(digits, ~std::uint64_t{0} >> shift, value))
        return false;
    bytes = value << shift;
    return true;
}
