#pragma once
// Converts between hexadecimal text and values of up to 128 bits for a given data width in
// bits; width 0 means unlimited, that is as wide as a CqzUInt. Hexadecimal text here is digits
// only (0-9, a-f, A-F), without a prefix. A value type; copy it freely.

#include "mfc/CString.h"
#include "qzSystem/ids/CqzUInt.h"

#include <cstdint>

class CqzHexFormatter
{
public:
    static constexpr int MaxWidth = 128;

    // Widths outside 0 to 128 are treated as 0 (unlimited).
    explicit CqzHexFormatter(int dataWidth = 0);

    int GetDataWidth() const { return m_width; }

    // Leading zeros are allowed. Empty text, a character that is not a hexadecimal digit or a
    // value with more significant bits than the data width give false and leave `value` as it
    // was: a malformed number is refused rather than read as a part of itself.
    bool TextToValue(const CString& text, CqzUInt& value) const;
    bool TextToValue(const CString& text, std::uint64_t& value) const;

    // Lower-case digits. With a data width the text has (width + 3) / 4 digits, leading zeros
    // kept and bits above the width dropped; without one it has no leading zeros ("0" for zero).
    CString ValueToText(const CqzUInt& value) const;

    // The value of one hexadecimal digit, or -1.
    static int DigitValue(wchar_t ch);

private:
    int m_width;
};
