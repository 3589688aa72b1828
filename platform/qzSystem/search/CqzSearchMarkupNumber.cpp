#include "qzSystem/search/CqzSearchMarkupNumber.h"

#include "qzSystem/format/CqzHexFormatter.h"

namespace
{
__extension__ typedef unsigned __int128 SqzWide;

constexpr int MaxBits = 128;
} // namespace

bool CqzSearchMarkupNumber::Parse(const CString& text, CqzUInt& value, CqzUInt& dontCare)
{
    if (text.IsEmpty())
        return false;
    const CString digits = text.Mid(1);
    CqzUInt parsed, mask;
    bool ok = false;
    switch (text[0])
    {
    case L'h':
    case L'H':
        ok = CqzHexFormatter().TextToValue(digits, parsed);
        break;
    case L'd':
    case L'D':
        ok = ParseDecimal(digits, parsed);
        break;
    case L'b':
    case L'B':
        ok = ParseBinary(digits, parsed, mask);
        break;
    default:
        break;
    }
    if (ok)
    {
        value = parsed;
        dontCare = mask;
    }
    return ok;
}

bool CqzSearchMarkupNumber::Parse(const CString& text, CqzUInt& value)
{
    CqzUInt parsed, mask;
    if (!Parse(text, parsed, mask) || !mask.IsZero())
        return false;
    value = parsed;
    return true;
}

CString CqzSearchMarkupNumber::Format(const CqzUInt& value)
{
    return L"h" + CqzHexFormatter().ValueToText(value);
}

bool CqzSearchMarkupNumber::ParseDecimal(const CString& digits, CqzUInt& value)
{
    if (digits.IsEmpty())
        return false;
    constexpr SqzWide Largest = ~SqzWide{0};
    SqzWide result = 0;
    for (int i = 0; i < digits.GetLength(); ++i)
    {
        const wchar_t ch = digits[i];
        if (ch < L'0' || ch > L'9')
            return false;
        const auto digit = static_cast<unsigned>(ch - L'0');
        if (result > (Largest - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    value = CqzUInt(static_cast<std::uint64_t>(result >> 64), static_cast<std::uint64_t>(result));
    return true;
}

bool CqzSearchMarkupNumber::ParseBinary(const CString& digits, CqzUInt& value, CqzUInt& dontCare)
{
    if (digits.IsEmpty())
        return false;
    CqzUInt bits, mask;
    int used = 0; // significant digits so far; a leading don't-care digit is significant
    for (int i = 0; i < digits.GetLength(); ++i)
    {
        const wchar_t ch = digits[i];
        const bool careless = ch == L'x' || ch == L'X';
        if (!careless && ch != L'0' && ch != L'1')
            return false;
        if (used > 0 || ch != L'0')
            ++used;
        if (used > MaxBits)
            return false;
        bits = (bits << 1) | CqzUInt(ch == L'1' ? 1u : 0u);
        mask = (mask << 1) | CqzUInt(careless ? 1u : 0u);
    }
    value = bits;
    dontCare = mask;
    return true;
}
