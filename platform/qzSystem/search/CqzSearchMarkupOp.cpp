#include "qzSystem/search/CqzSearchMarkupOp.h"

#include "qzSystem/search/CqzPatternModel.h"

#include <iterator>

namespace
{
const CqzSearchMarkupOp Ops[] = {
    {L"Equal", true, eqzMultiEqual, eqzOperandValue},
    {L"NotEqual", true, eqzMultiNotEqual, eqzOperandValue},
    {L"Less", true, eqzMultiLess, eqzOperandValue},
    {L"Greater", true, eqzMultiGreater, eqzOperandValue},
    {L"LessEqual", true, eqzMultiLessEqual, eqzOperandValue},
    {L"GreaterEqual", true, eqzMultiGreaterEqual, eqzOperandValue},
    {L"InRange", true, eqzMultiInRange, eqzOperandRange},
    {L"NotInRange", true, eqzMultiNotInRange, eqzOperandRange},
    {L"Contains", true, eqzMultiContains, eqzOperandText},
    {L"NotContains", true, eqzMultiNotContains, eqzOperandText},
    {L"Rising", false, eqzSingleRising, eqzOperandNone},
    {L"Falling", false, eqzSingleFalling, eqzOperandNone},
    {L"Either", false, eqzSingleEither, eqzOperandNone},
    {L"High", false, eqzSingleHigh, eqzOperandNone},
    {L"Low", false, eqzSingleLow, eqzOperandNone},
    {L"DontCare", false, eqzSingleDontCare, eqzOperandNone},
};
} // namespace

const CqzSearchMarkupOp* CqzSearchMarkupOp::FromName(const CString& name)
{
    for (const CqzSearchMarkupOp& op : Ops)
        if (name == op.name)
            return &op;
    return nullptr;
}

const CqzSearchMarkupOp* CqzSearchMarkupOp::FromPattern(const CqzPatternModel& pattern,
                                                        bool stringLabel)
{
    const bool multiBit = pattern.IsMultiBitMode();
    const int choice = multiBit ? pattern.GetMultiBitChoice() : pattern.GetSingleBitChoice();
    for (const CqzSearchMarkupOp& op : Ops)
    {
        if (op.multiBit != multiBit || op.choice != choice)
            continue;
        // Choices 1 and 2 of a string label are the text operators, of other labels the
        // comparisons; the remaining multi-bit choices name the comparisons for every label.
        const bool textOp = op.operand == eqzOperandText;
        if (!multiBit || textOp == stringLabel || (choice > eqzMultiNotEqual && !textOp))
            return &op;
    }
    return nullptr;
}
