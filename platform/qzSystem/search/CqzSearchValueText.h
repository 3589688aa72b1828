#pragma once
// The text of a value in the search-expression editor: hexadecimal digits, where a "?" digit
// stands for four don't-care bits ("3?" is 0x30 with 0x0f don't care). Don't-care bits that do
// not fill whole digits are written in binary with "x" digits ("b10x1"). Read back, the text
// may also carry a prefix: "0x" or "h" hexadecimal, "0b" or "b" binary (x or ? digits don't
// care), "d" decimal.

#include "mfc/CString.h"
#include "qzSystem/ids/CqzUInt.h"

class CqzSearchValueText
{
public:
    static CString Format(const CqzUInt& value, const CqzUInt& dontCare = CqzUInt());
    // False for empty or malformed text or more than 128 bits; the outputs are then unchanged.
    static bool Parse(const CString& text, CqzUInt& value, CqzUInt& dontCare);

private:
    static bool ParseHex(const CString& digits, CqzUInt& value, CqzUInt& dontCare);
};
