#include "capture/CqzCsvColumn.h"

#include "capture/CqzCaptureNumber.h"

#include <algorithm>

namespace
{
enum
{
    kBinary = 1, // 0, 1, x, z
    kHex = 2,    // 0-9, a-f, x, z (either case)
    kLetter = 4, // a-f (either case)
    kOctal = 8   // 0-7, x, z
};

// The classes of each byte as a digit.
struct ClassTable
{
    unsigned char bits[256];
    constexpr ClassTable() : bits()
    {
        for (int c = 0; c < 256; ++c)
        {
            const bool unknown = c == 'x' || c == 'X' || c == 'z' || c == 'Z';
            const bool letter = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
            bits[c] = static_cast<unsigned char>(
                (c == '0' || c == '1' || unknown ? kBinary : 0) |
                ((c >= '0' && c <= '9') || letter || unknown ? kHex : 0) | (letter ? kLetter : 0) |
                ((c >= '0' && c <= '7') || unknown ? kOctal : 0));
        }
    }
};
constexpr ClassTable kClasses;

// The value of each byte as a hexadecimal digit (either case), 255 for other bytes.
struct DigitTable
{
    unsigned char values[256];
    constexpr DigitTable() : values()
    {
        for (int c = 0; c < 256; ++c)
            values[c] = c >= '0' && c <= '9'   ? static_cast<unsigned char>(c - '0')
                        : c >= 'a' && c <= 'f' ? static_cast<unsigned char>(c - 'a' + 10)
                        : c >= 'A' && c <= 'F' ? static_cast<unsigned char>(c - 'A' + 10)
                                               : 255;
    }
};
constexpr DigitTable kDigitValue;

// The classes all bytes of s have, and those any has.
void Classes(std::string_view s, unsigned& all, unsigned& any)
{
    all = s.empty() ? 0 : kBinary | kHex | kLetter | kOctal;
    any = 0;
    for (char c : s)
    {
        const unsigned bits = kClasses.bits[static_cast<unsigned char>(c)];
        all &= bits;
        any |= bits;
    }
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

void CqzCsvColumn::AddPrefixed(char prefix, std::string_view digits, unsigned all)
{
    const unsigned needed = prefix == 'x' ? kHex : prefix == 'b' ? kBinary : kOctal;
    m_prefixValid = m_prefixValid && (all & needed) != 0;
    ++m_prefixed;
    m_prefixKinds |= prefix == 'x' ? 1u : prefix == 'b' ? 2u : 4u;
    m_prefixBits = std::max(m_prefixBits, BitsPerDigit(prefix) * Digits(digits));
}

void CqzCsvColumn::AddBinary(int digits, bool prefixed)
{
    m_binaryPrefix = m_binaryPrefix || prefixed;
    m_binaryDigits = std::max(m_binaryDigits, digits);
    m_sameLength = m_sameLength && (m_firstLength < 0 || m_firstLength == digits);
    m_firstLength = digits;
}

// The classes of the bytes after the first two are found once; those of the first two are
// added for the readings without a prefix.
void CqzCsvColumn::Add(std::string_view cell)
{
    if (cell.empty() || AddCommon(cell))
        return;
    ++m_values;
    const std::string_view head = cell.substr(0, 2);
    const std::string_view body = cell.substr(head.size());
    unsigned headAll, headAny, bodyAll, bodyAny;
    Classes(head, headAll, headAny);
    Classes(body, bodyAll, bodyAny);
    const unsigned all = body.empty() ? headAll : headAll & bodyAll;
    const unsigned any = headAny | bodyAny;
    // A value read by its own prefix: the x of 0x is no unknown binary digit, and the b of 0b
    // no hexadecimal one.
    const char prefix = RadixPrefix(cell);
    if (prefix != 0)
        AddPrefixed(prefix, body, bodyAll);
    m_binary = m_binary && prefix != 'x' && prefix != 'o';
    m_hex = m_hex && prefix != 'b' && prefix != 'o';
    const bool binaryPrefix = StripPrefix(cell, 'b').size() != cell.size();
    const bool hexPrefix = StripPrefix(cell, 'x').size() != cell.size();
    if (m_binary && (binaryPrefix ? !body.empty() && (bodyAll & kBinary) : (all & kBinary)))
        AddBinary(Digits(binaryPrefix ? body : cell), binaryPrefix);
    else
        m_binary = false;
    if (m_hex && (hexPrefix ? !body.empty() && (bodyAll & kHex) : (all & kHex)))
    {
        m_hexHint = m_hexHint || hexPrefix || ((hexPrefix ? bodyAny : any) & kLetter) != 0;
        m_hexDigits = std::max(m_hexDigits, Digits(hexPrefix ? body : cell));
    }
    else
        m_hex = false;
    if (m_decimal)
        AddDecimal(cell);
}

// The commonest values learnt without the general reading, to the same effect: a single 0
// or 1, and a 0x value of hexadecimal digits once the column can only be hexadecimal.
bool CqzCsvColumn::AddCommon(std::string_view cell)
{
    if (cell.size() == 1 && (cell[0] == '0' || cell[0] == '1'))
    {
        ++m_values;
        if (m_binary)
            AddBinary(1, false);
        if (m_hex)
            m_hexDigits = std::max(m_hexDigits, 1);
        if (m_decimal)
            m_maxPositive = std::max(m_maxPositive, CqzUInt(std::uint64_t(cell[0] - '0')));
        return true;
    }
    if (m_binary || m_decimal || !m_hex || !m_hexHint || RadixPrefix(cell) != 'x')
        return false;
    unsigned all = kHex;
    for (char c : cell.substr(2))
        all &= kClasses.bits[static_cast<unsigned char>(c)];
    if (all == 0)
        return false;
    ++m_values;
    ++m_prefixed;
    m_prefixKinds |= 1;
    const int digits = Digits(cell.substr(2));
    m_prefixBits = std::max(m_prefixBits, 4 * digits);
    m_hexDigits = std::max(m_hexDigits, digits);
    return true;
}

void CqzCsvColumn::Merge(const CqzCsvColumn& later)
{
    m_values += later.m_values;
    m_binary = m_binary && later.m_binary;
    m_hex = m_hex && later.m_hex;
    m_decimal = m_decimal && later.m_decimal;
    m_binaryPrefix = m_binaryPrefix || later.m_binaryPrefix;
    m_hexHint = m_hexHint || later.m_hexHint;
    m_sameLength = m_sameLength && later.m_sameLength &&
                   (m_firstLength < 0 || later.m_firstLength < 0 ||
                    m_firstLength == later.m_firstLength);
    if (later.m_firstLength >= 0)
        m_firstLength = later.m_firstLength;
    m_binaryDigits = std::max(m_binaryDigits, later.m_binaryDigits);
    m_hexDigits = std::max(m_hexDigits, later.m_hexDigits);
    m_maxPositive = std::max(m_maxPositive, later.m_maxPositive);
    m_maxNegative = std::max(m_maxNegative, later.m_maxNegative);
    m_negative = m_negative || later.m_negative;
    m_prefixed += later.m_prefixed;
    m_prefixKinds |= later.m_prefixKinds;
    m_prefixValid = m_prefixValid && later.m_prefixValid;
    m_prefixBits = std::max(m_prefixBits, later.m_prefixBits);
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

void CqzCsvColumn::Finish()
{
    m_type = LearntType();
    m_width = LearntWidth();
    m_finished = true;
}

// Values with prefixes of more than one kind (or octal ones): each read by its own.
bool CqzCsvColumn::IsPrefixed() const
{
    return m_values > 0 && m_prefixed == m_values && m_prefixValid && m_prefixKinds != 1 &&
           m_prefixKinds != 2;
}

EqzCsvColumnType CqzCsvColumn::LearntType() const
{
    if (m_values == 0)
        return eqzCsvText;
    if (IsPrefixed())
        return eqzCsvPrefixed;
    if (m_binary && m_binaryDigits == 1 && !m_binaryPrefix)
        return eqzCsvBit;
    if (m_binary && (m_binaryPrefix || m_sameLength))
        return eqzCsvBinary;
    if (m_hex && m_hexHint)
        return eqzCsvHex;
    if (m_decimal && LearntWidth() > 0)
        return eqzCsvDecimal;
    return eqzCsvText;
}

int CqzCsvColumn::LearntWidth() const
{
    if (IsPrefixed())
        return m_prefixBits;
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

bool CqzCsvColumn::ConvertPlain(std::string_view cell, std::uint64_t& value) const
{
    std::string_view digits = cell;
    unsigned shift = 4;
    switch (m_type)
    {
    case eqzCsvHex:
        digits = StripPrefix(cell, 'x');
        break;
    case eqzCsvBit:
    case eqzCsvBinary:
        digits = StripPrefix(cell, 'b');
        shift = 1;
        break;
    case eqzCsvDecimal:
        shift = 0;
        break;
    default:
        return false;
    }
    if (digits.empty() || digits.size() > (shift == 1 ? 64u : shift == 4 ? 16u : 19u))
        return false;
    // No branch per digit: a byte that is no digit of the radix is noted and refused at the
    // end.
    const unsigned radix = shift == 0 ? 10u : 1u << shift;
    std::uint64_t v = 0;
    bool bad = false;
    for (char c : digits)
    {
        const unsigned d = kDigitValue.values[static_cast<unsigned char>(c)];
        bad |= d >= radix;
        v = shift == 0 ? v * 10 + d : v << shift | d;
    }
    if (bad)
        return false;
    if (m_width < 64 && (v >> m_width) != 0)
        return false;
    value = v;
    return true;
}

int CqzCsvColumn::Convert(std::string_view cell, CqzUInt& value, CqzUInt& unknown,
                          CqzUInt& floating) const
{
    value = unknown = floating = CqzUInt();
    if (cell.empty())
        return 3;
    const EqzCsvColumnType type = GetType();
    switch (type)
    {
    case eqzCsvBit:
        if (cell.size() == 1 && (cell[0] == '0' || cell[0] == '1'))
        {
            value = CqzUInt(static_cast<std::uint64_t>(cell[0] - '0'));
            return 0;
        }
        [[fallthrough]];
    case eqzCsvBinary:
    case eqzCsvHex:
    {
        const bool hex = type == eqzCsvHex;
        if (!CqzCaptureNumber::ParseBits(StripPrefix(cell, hex ? 'x' : 'b'), hex ? 4 : 1,
                                         GetWidth(), false, value, unknown, floating))
            return -1;
        return unknown.IsZero() && floating.IsZero() ? 0 : 4;
    }
    case eqzCsvPrefixed:
    {
        const char prefix = RadixPrefix(cell);
        if (prefix == 0 || !CqzCaptureNumber::ParseBits(cell.substr(2), BitsPerDigit(prefix),
                                                         GetWidth(), false, value, unknown,
                                                         floating))
            return -1;
        return unknown.IsZero() && floating.IsZero() ? 0 : 4;
    }
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
