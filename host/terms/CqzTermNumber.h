#pragma once
// A number of a term expression: "0x" hexadecimal (a '?' digit is a don't-care nibble), "0b"
// binary ('x' or '?' is a don't-care bit) or decimal; '_' may separate digits. At most 128
// significant bits.

#include "qzSystem/ids/CqzUInt.h"

#include <string>

class CqzTermNumber
{
public:
    // Throws CqzTermError at `column` when the text is no number or is too large.
    CqzTermNumber(const std::wstring& text, int column);

    const CqzUInt& GetValue() const { return m_value; }
    // The don't-care bits (always zero for decimal numbers).
    const CqzUInt& GetDontCare() const { return m_dontCare; }
    bool HasDontCare() const { return !m_dontCare.IsZero(); }
    // The number of bits up to the highest bit that is set or don't-care (0 for zero).
    int GetSignificantBits() const;
    const std::wstring& GetText() const { return m_text; }

private:
    void ParseDigits(const std::wstring& digits, int bitsPerDigit);
    void ParseDecimal(const std::wstring& digits);
    [[noreturn]] void Fail(const std::string& reason) const;

    std::wstring m_text;
    int m_column;
    CqzUInt m_value;
    CqzUInt m_dontCare;
};
