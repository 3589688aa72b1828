#include "qzSystem/search/CqzPatternCheck.h"

#include "qzSystem/format/CqzHexFormatter.h"
#include "qzSystem/labels/CqzLabel.h"
#include "qzSystem/search/CqzPatternModel.h"
#include "qzSystem/search/CqzSearchValueText.h"

#include <algorithm>

namespace
{
CString Quoted(const CString& text)
{
    return L"'" + text + L"'";
}

CString Number(int n)
{
    return CString(std::to_wstring(n));
}

bool IsRangeChoice(int choice)
{
    return choice == eqzMultiInRange || choice == eqzMultiNotInRange;
}
} // namespace

CString CqzPatternCheck::NumberProblem(const CString& text, const CqzLabel* label, bool bound,
                                       CqzUInt& value, CqzUInt& dontCare)
{
    CString trimmed = text;
    trimmed.Trim();
    if (trimmed.IsEmpty())
        return L"the value is empty";
    CqzUInt parsed, mask;
    if (!CqzSearchValueText::Parse(trimmed, parsed, mask))
        return Quoted(trimmed) + L" is not a hexadecimal number (or b, d, 0x with their digits)";
    if (bound && !mask.IsZero())
        return L"a range bound has no don't-care digits";
    if (label != nullptr)
        if (CString wide = WidthProblem(parsed | mask, trimmed, *label); !wide.IsEmpty())
            return wide;
    value = parsed;
    dontCare = mask;
    return CString();
}

CString CqzPatternCheck::TextProblem(const CString& text)
{
    return text.IsEmpty() ? CString(L"the text to look for is empty: it would match every row")
                          : CString();
}

CString CqzPatternCheck::WidthProblem(const CqzUInt& bits, const CString& written,
                                      const CqzLabel& label, int channel)
{
    const int width = ValueWidth(label, channel);
    if (width <= 0 || SignificantBits(bits) <= width)
        return CString();
    return Quoted(written) + L" does not fit in the " + Number(width) + (width == 1 ? L" bit" : L" bits") +
           L" of " + Quoted(label.GetName());
}

CString CqzPatternCheck::PatternProblem(const CqzPatternModel& pattern, const CqzLabel& label)
{
    if (!IsFilterable(label))
        return Quoted(label.GetName()) + L" is not a label the filter can test";
    const bool text = label.IsType(eqzLabelString);
    const int channel = pattern.GetLabelInfo().GetChannel();
    if (!pattern.IsMultiBitMode())
    {
        const int choice = pattern.GetSingleBitChoice();
        if (text || (channel < 0 && label.GetWidth() != 1))
            return L"a level or edge test needs a one-bit label, " + Quoted(label.GetName()) +
                   L" has " + Number(label.GetWidth()) + L" bits";
        if (choice < eqzSingleRising || choice > eqzSingleDontCare)
            return L"unknown operator " + Number(choice);
        if (!IsEvaluated(pattern))
            return EdgeReason();
        return CString();
    }
    const int choice = pattern.GetMultiBitChoice();
    if (text)
    {
        if (choice != eqzMultiContains && choice != eqzMultiNotContains)
            return Quoted(label.GetName()) + L" holds text: only contains and does not contain apply";
        CString value;
        pattern.GetValue(value);
        return TextProblem(value);
    }
    if (choice < eqzMultiEqual || choice > eqzMultiNotInRange)
        return L"unknown operator " + Number(choice);
    CqzUInt value, second;
    pattern.GetValue(value, second);
    const CqzHexFormatter hex;
    if (!IsRangeChoice(choice))
        return WidthProblem(value | second, hex.ValueToText(value | second), label, channel);
    if (CString wide = WidthProblem(value, hex.ValueToText(value), label, channel);
        !wide.IsEmpty())
        return wide;
    return WidthProblem(second, hex.ValueToText(second), label, channel);
}

CString CqzPatternCheck::EdgeReason()
{
    return L"the filter does not evaluate edges (it would never match); test the level with "
           L"high or low instead";
}

bool CqzPatternCheck::IsEvaluated(const CqzPatternModel& pattern)
{
    if (pattern.IsMultiBitMode())
        return true;
    const int choice = pattern.GetSingleBitChoice();
    return choice == eqzSingleHigh || choice == eqzSingleLow || choice == eqzSingleDontCare;
}

bool CqzPatternCheck::IsFilterable(const CqzLabel& label)
{
    return label.IsType(eqzLabelDigital) || label.IsType(eqzLabelIntegral) ||
           label.IsType(eqzLabelString);
}

int CqzPatternCheck::ValueWidth(const CqzLabel& label, int channel)
{
    if (channel >= 0)
        return 1;
    return label.IsType(eqzLabelIntegral) ? std::min(label.GetWidth(), 64) : label.GetWidth();
}

int CqzPatternCheck::SignificantBits(const CqzUInt& bits)
{
    for (int bit = 127; bit >= 0; --bit)
        if (bits.GetBit(bit))
            return bit + 1;
    return 0;
}
