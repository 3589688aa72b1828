#include "capture/CqzCaptureMemory.h"

#include "capture/CqzCaptureError.h"
#include "capture/CqzCaptureText.h"
#include "qzSystem/managers/CqzMemoryBudget.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>

CqzCaptureMemory::SqzLimit CqzCaptureMemory::Limit(const SqzCaptureOptions& options)
{
    if (options.memoryLimit != 0)
        return {options.memoryLimit, "the memory limit"};
    if (const char* text = std::getenv("QZFILTER_MEMORY_LIMIT"); text != nullptr && *text != '\0')
    {
        std::uint64_t bytes = 0;
        if (!ParseSize(text, bytes))
            throw CqzCaptureError("QZFILTER_MEMORY_LIMIT", 0,
                                  CqzCaptureText::Quote(text) + " is not a size above 0: write bytes, or a number with "
                                      "K, M, G or T (such as 512M, 512MB, 1.5G, 1T)");
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
    return CqzMemoryBudget::Describe(bytes);
}

bool CqzCaptureMemory::ParseSize(const std::string& text, std::uint64_t& bytes)
{
    // A number (decimals allowed with a unit), then K, M, G or T, alone or followed by B or iB
    // (all powers of 1024); a bare number is bytes.
    std::size_t end = 0;
    while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) != 0 ||
                                 text[end] == '.'))
        ++end;
    const std::string number = text.substr(0, end);
    std::string unit = text.substr(end);
    for (char& c : unit)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static const std::string units = "KMGT";
    int shift = 0;
    if (!unit.empty() && units.find(unit[0]) != std::string::npos &&
        (unit.size() == 1 || unit.substr(1) == "B" || unit.substr(1) == "IB"))
        shift = 10 * static_cast<int>(units.find(unit[0]) + 1);
    else if (!unit.empty() && unit != "B")
        return false;
    if (number.empty() || number.front() == '.' || number.back() == '.' ||
        number.find('.') != number.rfind('.') || (shift == 0 && number.find('.') != std::string::npos))
        return false;
    const double value = std::strtod(number.c_str(), nullptr) * std::ldexp(1.0, shift);
    if (!(value >= 1) || value >= 18446744073709551615.0)
        return false;
    bytes = static_cast<std::uint64_t>(value);
    return true;
}
