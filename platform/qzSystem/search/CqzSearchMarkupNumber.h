#pragma once
// Numbers in the search model's markup: "h" and hexadecimal digits, "d" and decimal digits, or
// "b" and binary digits, where in the binary form an "x" digit marks a don't-care bit. Values
// have at most 128 significant bits. Written numbers are always "h" with lower-case digits.

#include "mfc/CString.h"
#include "qzSystem/ids/CqzUInt.h"

class CqzSearchMarkupNumber
{
public:
    // False for an empty or unknown form, a digit that does not belong to the form, no digits
    // at all, or a value wider than 128 bits; `value` and `dontCare` are then left as they were.
    // `dontCare` gets the bits written as "x" (zero for the other forms).
    static bool Parse(const CString& text, CqzUInt& value, CqzUInt& dontCare);
    // The same for places where don't-care bits have no meaning: an "x" digit is refused.
    static bool Parse(const CString& text, CqzUInt& value);

    static CString Format(const CqzUInt& value);

private:
    static bool ParseDecimal(const CString& digits, CqzUInt& value);
    static bool ParseBinary(const CString& digits, CqzUInt& value, CqzUInt& dontCare);
};
