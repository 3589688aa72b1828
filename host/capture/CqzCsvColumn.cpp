#include "capture/CqzCsvColumn.h"

#include "capture/CqzCaptureNumber.h"

#include <algorithm>

namespace
{
bool IsUnknown(char c)
{
    return c == 'x' || c == 'X' || c == 'z' || c == 'Z';
}

bool IsBinaryDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(),
                                     [](char c) { return c == '0' || c == '1' || IsUnknown(c); });
}

bool IsHexDigits(std::string_view s, bool& letter)
{
    for (char c : s)
    {
        const bool low = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        letter = letter || low;
        if (!low && !(c >= '0' && c <= '9') && !IsUnknown(c))
            return false;
    }
    return !s.empty();
}

unsigned __int128 Wide(const CqzUInt& v)
{
    return (static_cast<unsigned __int128>(v.GetHigh()) << 64) | v.GetLow();
}

CqzUInt Narrow(unsigned __int128 v)
{
    return CqzUInt(static_cast<std::uint64_t>(v >> 64), static_cast<std::uint64_t>(v));
}

int Digits(std::string_view s)
{
    return static_cast<int>(std::min<std::size_t>(s.size(), 1 << 20));
}
} // namespace

std::string_view CqzCsvColumn::StripPrefix(std::string_view cell, char letter)
{
    if (cell.size() >= 2 && cell[0] == '0' && (cell[1] | 0x20) == letter)
        return cell.substr(2);
    return cell;
}

void CqzCsvColumn::Add(std::string_view cell)
{
    if (cell.empty())
        return;
    ++m_values;
    const std::string_view binary = StripPrefix(cell, 'b');
    if (m_binary && IsBinaryDigits(binary))
    {
        m_binaryPrefix = m_binaryPrefix || binary.size() != cell.size();
        m_binaryDigits = std::max(m_binaryDigits, Digits(binary));
        m_sameLength = m_sameLength && (m_firstLength < 0 || m_firstLength == Digits(binary));
        m_firstLength = Digits(binary);
    }
    else
        m_binary = false;
    const std::string_view hex = StripPrefix(cell, 'x');
    if (m_hex && IsHexDigits(hex, m_hexHint))
    {
        m_hexHint = m_hexHint || hex.size() != cell.size();
        m_hexDigits = std::max(m_hexDigits, Digits(hex));
    }
    else
        m_hex = false;
    if (m_decimal)
        AddDecimal(cell);
}

void CqzCsvColumn::AddDecimal(std::string_view cell)
{
    const bool negative = cell[0] == '-';
    CqzUInt magnitude;
    if (!CqzCaptureNumber::ParseUnsigned128(negative ? cell.substr(1) : cell, magnitude))
    {
        m_decimal = false;
        return;
    }
    m_negative = m_negative || negative;
    CqzUInt& max = negative ? m_maxNegative : m_maxPositive;
    max = std::max(max, magnitude);
}

EqzCsvColumnType CqzCsvColumn::GetType() const
{
    if (m_values == 0)
        return eqzCsvText;
    if (m_binary && m_binaryDigits == 1 && !m_binaryPrefix)
        return eqzCsvBit;
    if (m_binary && (m_binaryPrefix || m_sameLength))
        return eqzCsvBinary;
    if (m_hex && m_hexHint)
        return eqzCsvHex;
    if (m_decimal && GetWidth() > 0)
        return eqzCsvDecimal;
    return eqzCsvText;
}

int CqzCsvColumn::GetWidth() const
{
    if (m_binary && (m_binaryDigits == 1 || m_binaryPrefix || m_sameLength))
        return m_binaryDigits;
    if (m_hex && m_hexHint)
        return 4 * m_hexDigits;
    if (!m_decimal)
        return 0;
    // Two's complement needs a sign bit when there are negatives; -2^(n-1) fits n bits.
    int bits = CqzCaptureNumber::BitLength(m_maxPositive) + (m_negative ? 1 : 0);
    if (m_negative && !m_maxNegative.IsZero())
        bits = std::max(bits, CqzCaptureNumber::BitLength(Narrow(Wide(m_maxNegative) - 1)) + 1);
    for (int width : {8, 16, 32, 64, 128})
        if (bits <= width)
            return width;
    return 0;
}

int CqzCsvColumn::Convert(std::string_view cell, CqzUInt& value) const
{
    value = CqzUInt();
    if (cell.empty())
        return 3;
    bool unknown = false;
    switch (GetType())
    {
    case eqzCsvBit:
    case eqzCsvBinary:
        if (!CqzCaptureNumber::ParseBits(StripPrefix(cell, 'b'), 1, GetWidth(), value, unknown))
            return -1;
        return unknown ? 4 : 0;
    case eqzCsvHex:
        if (!CqzCaptureNumber::ParseBits(StripPrefix(cell, 'x'), 4, GetWidth(), value, unknown))
            return -1;
        return unknown ? 4 : 0;
    case eqzCsvDecimal:
    {
        const bool negative = cell[0] == '-';
        if (!CqzCaptureNumber::ParseUnsigned128(negative ? cell.substr(1) : cell, value))
            return -1;
        if (negative)
            value = Narrow(-Wide(value)) & CqzUInt::LowMask(GetWidth());
        return 0;
    }
    default:
        return -1;
    }
}
