#include "qzSystem/ids/CqzID.h"

#include "qzSystem/format/CqzHexFormatter.h"

#include <cstring>

namespace
{

int HexDigit(wchar_t c)
{
    return CqzHexFormatter::DigitValue(c);
}

// Reads `digits` hexadecimal digits from text at pos; false on any other character.
bool ReadHex(const CString& text, int& pos, int digits, std::uint64_t& value)
{
    value = 0;
    for (int i = 0; i < digits; ++i, ++pos)
    {
        int d = HexDigit(text.GetAt(pos));
        if (pos >= text.GetLength() || d < 0)
            return false;
        value = (value << 4) | static_cast<std::uint64_t>(d);
    }
    return true;
}

bool Expect(const CString& text, int& pos, wchar_t c)
{
    if (text.GetAt(pos) != c || pos >= text.GetLength())
        return false;
    ++pos;
    return true;
}

} // namespace

CqzID::CqzID()
{
    if (CoCreateGuid(&m_guid) != S_OK)
        std::memset(&m_guid, 0, sizeof m_guid);
}

bool CqzID::SetValue(const CString& text)
{
    const bool braces = text.GetAt(0) == L'{';
    if (text.GetLength() != (braces ? 38 : 36))
        return false;
    int pos = braces ? 1 : 0;
    GUID g{};
    std::uint64_t v = 0;
    if (!ReadHex(text, pos, 8, v) || !Expect(text, pos, L'-'))
        return false;
    g.Data1 = static_cast<std::uint32_t>(v);
    if (!ReadHex(text, pos, 4, v) || !Expect(text, pos, L'-'))
        return false;
    g.Data2 = static_cast<std::uint16_t>(v);
    if (!ReadHex(text, pos, 4, v) || !Expect(text, pos, L'-'))
        return false;
    g.Data3 = static_cast<std::uint16_t>(v);
    for (int i = 0; i < 8; ++i)
    {
        if (i == 2 && !Expect(text, pos, L'-'))
            return false;
        if (!ReadHex(text, pos, 2, v))
            return false;
        g.Data4[i] = static_cast<std::uint8_t>(v);
    }
    if (braces && !Expect(text, pos, L'}'))
        return false;
    m_guid = g;
    return true;
}

CString CqzID::ToString() const
{
    CString s;
    s.Format(L"{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", m_guid.Data1, m_guid.Data2,
             m_guid.Data3, m_guid.Data4[0], m_guid.Data4[1], m_guid.Data4[2], m_guid.Data4[3],
             m_guid.Data4[4], m_guid.Data4[5], m_guid.Data4[6], m_guid.Data4[7]);
    return s;
}

std::strong_ordering operator<=>(const CqzID& a, const CqzID& b)
{
    int c = std::memcmp(&a.m_guid, &b.m_guid, sizeof(GUID));
    return c < 0 ? std::strong_ordering::less
                 : c > 0 ? std::strong_ordering::greater : std::strong_ordering::equal;
}

std::size_t std::hash<CqzID>::operator()(const CqzID& id) const noexcept
{
    std::uint64_t halves[2];
    std::memcpy(halves, &id.GetGUID(), sizeof halves);
    return static_cast<std::size_t>(halves[0] ^ (halves[1] * 0x9E3779B97F4A7C15ull));
}
