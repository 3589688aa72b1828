#include "qzSystem/format/CqzHexFormatter.h"

CqzHexFormatter::CqzHexFormatter(int dataWidth)
    : m_width(dataWidth > 0 && dataWidth <= MaxWidth ? dataWidth : 0)
{
}

int CqzHexFormatter::DigitValue(wchar_t ch)
{
    if (ch >= L'0' && ch <= L'9')
        return ch - L'0';
    if (ch >= L'a' && ch <= L'f')
        return ch - L'a' + 10;
    if (ch >= L'A' && ch <= L'F')
        return ch - L'A' + 10;
    return -1;
}

bool CqzHexFormatter::TextToValue(const CString& text, CqzUInt& value) const
{
    if (text.IsEmpty())
        return false;
    const int width = m_width == 0 ? MaxWidth : m_width;
    CqzUInt result;
    int bits = 0; // significant bits read so far
    for (int i = 0; i < text.GetLength(); ++i)
    {
        const int digit = DigitValue(text[i]);
        if (digit < 0)
            return false;
        if (bits > 0)
            bits += 4;
        else if (digit != 0)
            bits = digit >= 8 ? 4 : digit >= 4 ? 3 : digit >= 2 ? 2 : 1;
        if (bits > width)
            return false;
        result = (result << 4) | CqzUInt(static_cast<std::uint64_t>(digit));
    }
    value = result;
    return true;
}

bool CqzHexFormatter::TextToValue(const CString& text, std::uint64_t& value) const
{
    CqzUInt wide;
    if (!TextToValue(text, wide) || wide.GetHigh() != 0)
        return false;
    value = wide.GetLow();
    return true;
}

CString CqzHexFormatter::ValueToText(const CqzUInt& value) const
{
    static const wchar_t Digits[] = L"0123456789abcdef";
    const CqzUInt shown = m_width == 0 ? value : value & CqzUInt::LowMask(m_width);
    int digits = m_width == 0 ? MaxWidth / 4 : (m_width + 3) / 4;
    if (m_width == 0)
        while (digits > 1 && (shown >> ((digits - 1) * 4)).IsZero())
            --digits;
    CString text;
    for (int i = digits - 1; i >= 0; --i)
        text.AppendChar(Digits[(shown >> (i * 4)).GetLow() & 0xF]);
    return text;
}
