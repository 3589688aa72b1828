#pragma once
// What makes an event of a search expression one the filter cannot evaluate as written, said
// in words a person understands: a value that is no number in its form, is wider than its
// label or is empty, an empty text to look for, an operator that does not fit the label, or
// one the filter makes no test for (edges). The editor marks its fields with these reasons, and
// the host checks setups from every source with the same ones. An empty reason means fine.

#include "mfc/CString.h"
#include "qzSystem/ids/CqzUInt.h"

class CqzLabel;
class CqzPatternModel;

class CqzPatternCheck
{
public:
    // A value typed into the editor (hexadecimal unless a prefix says otherwise); a range
    // bound has no don't-care digits. `value` and `dontCare` get the number when it is fine.
    static CString NumberProblem(const CString& text, const CqzLabel* label, bool bound,
                                 CqzUInt& value, CqzUInt& dontCare);
    static CString TextProblem(const CString& text);
    // Why a value is too wide for the label, or empty.
    static CString WidthProblem(const CqzUInt& bits, const CString& written, const CqzLabel& label,
                                int channel = -1);
    // The whole event: its operator, its value(s) or text, against its label.
    static CString PatternProblem(const CqzPatternModel& pattern, const CqzLabel& label);
    // Why an edge (rising, falling, either edge) is refused everywhere.
    static CString EdgeReason();
    // Whether the filter makes a test of the operator (edges have none: they never match).
    static bool IsEvaluated(const CqzPatternModel& pattern);
    // The bits a value can have in the label (or one channel of it, channel >= 0): 64 at most
    // for integer labels.
    static int ValueWidth(const CqzLabel& label, int channel = -1);
    // Whether the filter can evaluate the label (digital, integer and text labels; not time).
    static bool IsFilterable(const CqzLabel& label);
    // The number of bits up to the highest one set (0 for zero).
    static int SignificantBits(const CqzUInt& bits);
};
