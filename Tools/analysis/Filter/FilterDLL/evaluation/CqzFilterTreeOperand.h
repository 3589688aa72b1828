#pragma once
// Comparison leaf: the masked sample value against a value, with one of the six comparison
// functors (the sample is the left operand). Instantiated for std::equal_to, not_equal_to,
// less, greater, less_equal and greater_equal over CqzUInt.

#include "evaluation/CqzFilterTreeOperandBase.h"
#include "evaluation/CqzFilterTreeRoot.h"
#include "qzSystem/ids/CqzUInt.h"

template <typename T, typename Compare> class CqzFilterTreeOperand : public CqzFilterTreeOperandBase
{
public:
    // The value must already have every bit cleared that the mask clears.
    CqzFilterTreeOperand(int index, const T& value, const T& mask)
        : CqzFilterTreeOperandBase(index), m_value(value), m_mask(mask)
    {
    }
    bool Evaluate() override
    {
        int status = 0;
        GetRoot()->GetValue(GetIndex(), m_current, status);
        if (IsUnusableStatus(status))
            return false;
        m_current &= m_mask;
        return m_compare(m_current, m_value);
    }
    CqzFilterTreeNode* Clone() const override
    {
        return new CqzFilterTreeOperand(GetIndex(), m_value, m_mask);
    }
    const T& GetValue() const { return m_value; }
    const T& GetMask() const { return m_mask; }

private:
    T m_value;
    T m_mask;
    T m_current;
    Compare m_compare;
};
