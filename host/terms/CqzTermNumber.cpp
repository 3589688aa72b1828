#include "CqzTermNumber.h"

#include "CqzTermError.h"
#include "CqzTermText.h"
#include "qzSystem/format/CqzHexFormatter.h"

#include <cwctype>

namespace
{

int DigitValue(wchar_t c)
{
    return CqzHexFormatter::DigitValue(c);
}

std::wstring WithoutSeparators(const std::wstring& digits)
{
    std::wstring out;
    for (wchar_t c : digits)
        if (c != L'_')
            out.push_back(c);
    return out;
}

} // namespace

CqzTermNumber::CqzTermNumber(const std::wstring& text, int column) : m_text(text), m_column(column)
{
    const bool prefixed = text.size() >= 2 && text[0] == L'0';
    const wchar_t form =
        prefixed ? static_cast<wchar_t>(std::towlower(static_cast<wint_t>(text[1]))) : L'd';
    if (form == L'x')
        ParseDigits(WithoutSeparators(text.substr(2)), 4);
    else if (form == L'b')
        ParseDigits(WithoutSeparators(text.substr(2)), 1);
    else
        ParseDecimal(WithoutSeparators(text));
}

int CqzTermNumber::GetSignificantBits() const
{
    const CqzUInt all = m_value | m_dontCare;
    for (int bit = 127; bit >= 0; --bit)
        if (all.GetBit(bit))
            return bit + 1;
    return 0;
}

void CqzTermNumber::Fail(const std::string& reason) const
{
    throw CqzTermError(m_column, reason + " '" + CqzTermText::Narrow(m_text) + "'");
}

// Hexadecimal (4 bits a digit) or binary (1 bit a digit), most significant digit first.
void CqzTermNumber::ParseDigits(const std::wstring& digits, int bitsPerDigit)
{
    if (digits.empty())
        Fail("no digits in the number");
    const int radix = 1 << bitsPerDigit;
    const CqzUInt digitMask = CqzUInt::LowMask(bitsPerDigit);
    for (wchar_t c : digits)
    {
        const bool dontCare = c == L'?' || (bitsPerDigit == 1 && (c == L'x' || c == L'X'));
        const int digit = dontCare ? 0 : DigitValue(c);
        if (digit < 0 || digit >= radix)
            Fail(bitsPerDigit == 4 ? "not a hexadecimal number" : "not a binary number");
        if (!(m_value | m_dontCare).IsZero() && GetSignificantBits() + bitsPerDigit > 128)
            Fail("more than 128 bits in the number");
        m_value = (m_value << bitsPerDigit) | CqzUInt(static_cast<std::uint64_t>(digit));
        m_dontCare = (m_dontCare << bitsPerDigit) | (dontCare ? digitMask : CqzUInt());
    }
}

void CqzTermNumber::ParseDecimal(const std::wstring& digits)
{
    if (digits.empty())
        Fail("not a number");
    unsigned __int128 value = 0;
    const unsigned __int128 limit = ~static_cast<unsigned __int128>(0);
    for (wchar_t c : digits)
    {
        if (c < L'0' || c > L'9')
            Fail(c == L'?' ? "don't-care digits need the 0x or 0b form:" : "not a number");
        const unsigned digit = static_cast<unsigned>(c - L'0');
        if (value > (limit - digit) / 10)
            Fail("more than 128 bits in the number");
        value = value * 10 + digit;
    }
    m_value = CqzUInt(static_cast<std::uint64_t>(value >> 64), static_cast<std::uint64_t>(value));
}
