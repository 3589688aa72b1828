#include "qzSystem/search/CqzSearchValueText.h"

#include "qzSystem/format/CqzHexFormatter.h"
#include "qzSystem/search/CqzSearchMarkupNumber.h"

namespace
{
constexpr int Digits = 32; // hexadecimal digits of 128 bits

int Nibble(const CqzUInt& value, int digit)
{
    return static_cast<int>(((value >> (digit * 4)).GetLow()) & 0xF);
}
} // namespace

CString CqzSearchValueText::Format(const CqzUInt& value, const CqzUInt& dontCare)
{
    if (dontCare.IsZero())
        return CqzHexFormatter().ValueToText(value);
    int top = 0;
    bool wholeDigits = true;
    for (int digit = 0; digit < Digits; ++digit)
    {
        const int mask = Nibble(dontCare, digit);
        wholeDigits = wholeDigits && (mask == 0 || mask == 0xF);
        if (mask != 0 || Nibble(value, digit) != 0)
            top = digit;
    }
    CString text;
    if (wholeDigits)
    {
        for (int digit = top; digit >= 0; --digit)
            text += Nibble(dontCare, digit) != 0 ? L'?' : L"0123456789abcdef"[Nibble(value, digit)];
        return text;
    }
    text = L"b";
    for (int bit = top * 4 + 3; bit >= 0; --bit)
        text += dontCare.GetBit(bit) ? L'x' : value.GetBit(bit) ? L'1' : L'0';
    return text;
}

bool CqzSearchValueText::Parse(const CString& input, CqzUInt& value, CqzUInt& dontCare)
{
    CString text = input;
    text.Trim();
    if (text.GetLength() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X'))
        return ParseHex(text.Mid(2), value, dontCare);
    if (text.GetLength() > 2 && text[0] == L'0' && (text[1] == L'b' || text[1] == L'B'))
        text = text.Mid(1);
    if (!text.IsEmpty() && (text[0] == L'h' || text[0] == L'H'))
        return ParseHex(text.Mid(1), value, dontCare);
    if (!text.IsEmpty() &&
        (text[0] == L'b' || text[0] == L'B' || text[0] == L'd' || text[0] == L'D'))
    {
        text.Replace(L'?', L'x');
        return CqzSearchMarkupNumber::Parse(text, value, dontCare);
    }
    return ParseHex(text, value, dontCare);
}

bool CqzSearchValueText::ParseHex(const CString& digits, CqzUInt& value, CqzUInt& dontCare)
{
    CString plain = digits;
    CqzUInt mask;
    for (int i = 0; i < plain.GetLength(); ++i)
        if (plain[i] == L'?')
        {
            plain.SetAt(i, L'0');
            mask |= CqzUInt(0xF) << ((plain.GetLength() - 1 - i) * 4);
        }
    CqzUInt parsed;
    if (!CqzHexFormatter().TextToValue(plain, parsed))
        return false;
    value = parsed;
    dontCare = mask;
    return true;
}
