#pragma once
// Comparison leaf: the masked sample value against a value, with one of the six comparison
// functors (the sample is the left operand). Instantiated for std::equal_to, not_equal_to,
// less, greater, less_equal and greater_equal over CqzUInt.

#include "evaluation/CqzFilterTreeOperandBase.h"
#include "qzSystem/ids/CqzUInt.h"

template <typename T, typename Compare>
class CqzFilterTreeOperand final : public CqzFilterTreeOperandBase
{
public:
    // The value must already have every bit cleared that the mask clears.
    CqzFilterTreeOperand(int index, const T& value, const T& mask)
        : CqzFilterTreeOperandBase(index), m_value(value), m_mask(mask)
    {
    }
    bool Evaluate() override
    {
        const T* current = GetUsableValue();
        return current != nullptr && m_compare(*current & m_mask, m_value);
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
    Compare m_compare;
};
