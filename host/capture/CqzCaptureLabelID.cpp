#include "capture/CqzCaptureLabelID.h"

#include <cstdint>
#include <string>

namespace
{
constexpr std::uint64_t kFnvPrime = 0x00000100000001b3ull;
constexpr std::uint64_t kFnvBasis = 0xcbf29ce484222325ull;
// Any other odd 64-bit value serves; this one is the first 64 fraction bits of sqrt(2).
constexpr std::uint64_t kSecondBasis = 0x6a09e667f3bcc908ull;
constexpr unsigned char kSecondSeparator = 0x5a;

class Fnv1a
{
public:
    explicit Fnv1a(std::uint64_t basis) : m_hash(basis) {}
    void Add(unsigned char byte) { m_hash = (m_hash ^ byte) * kFnvPrime; }
    void Add(std::uint64_t value, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            Add(static_cast<unsigned char>(value >> (8 * i)));
    }
    void Add(std::string_view text)
    {
        for (char c : text)
            Add(static_cast<unsigned char>(c));
    }
    std::uint64_t Get() const { return m_hash; }

private:
    std::uint64_t m_hash;
};

void AddSource(Fnv1a& hash, const GUID& source)
{
    hash.Add(source.Data1, 4);
    hash.Add(source.Data2, 2);
    hash.Add(source.Data3, 2);
    for (std::uint8_t b : source.Data4)
        hash.Add(b);
}

std::uint64_t Hash(const GUID& source, std::string_view name, std::uint64_t basis,
                   const unsigned char* separator)
{
    Fnv1a hash(basis);
    if (separator)
        hash.Add(*separator);
    AddSource(hash, source);
    hash.Add(name);
    return hash.Get();
}
} // namespace

CqzID CqzCaptureLabelID::Make(const CqzID& sourceID, const CString& name)
{
    const std::string utf8 = name.ToUtf8();
    return Make(sourceID, std::string_view(utf8));
}

CqzID CqzCaptureLabelID::Make(const CqzID& sourceID, std::string_view utf8Name)
{
    const GUID& source = sourceID.GetGUID();
    const std::uint64_t high = Hash(source, utf8Name, kFnvBasis, nullptr);
    const std::uint64_t low = Hash(source, utf8Name, kSecondBasis, &kSecondSeparator);
    GUID guid{};
    guid.Data1 = static_cast<std::uint32_t>(high >> 32);
    guid.Data2 = static_cast<std::uint16_t>(high >> 16);
    guid.Data3 = static_cast<std::uint16_t>((high & 0x0fff) | 0x8000); // version 8
    for (int i = 0; i < 8; ++i)
        guid.Data4[i] = static_cast<std::uint8_t>(low >> (56 - 8 * i));
    guid.Data4[0] = static_cast<std::uint8_t>((guid.Data4[0] & 0x3f) | 0x80); // variant 10
    return CqzID(guid);
}
