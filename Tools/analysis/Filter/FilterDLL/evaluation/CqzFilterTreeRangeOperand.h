#pragma once
// Range leaf: mode 1 true when low <= sample <= high, any other mode when the sample lies
// outside (a sample equal to a bound is not outside). No mask.

#include "evaluation/CqzFilterTreeOperandBase.h"
#include "qzSystem/ids/CqzUInt.h"

template <typename T> class CqzFilterTreeRangeOperand final : public CqzFilterTreeOperandBase
{
public:
    static constexpr int Inside = 1;
    static constexpr int Outside = 2;

    // Expects low <= high.
    CqzFilterTreeRangeOperand(int mode, int index, const T& low, const T& high)
        : CqzFilterTreeOperandBase(index), m_low(low), m_high(high), m_mode(mode)
    {
    }
    bool Evaluate() override
    {
        const T* current = GetUsableValue();
        if (current == nullptr)
            return false;
        const bool inside = m_low <= *current && *current <= m_high;
        return m_mode == Inside ? inside : !inside;
    }
    CqzFilterTreeNode* Clone() const override
    {
        return new CqzFilterTreeRangeOperand(m_mode, GetIndex(), m_low, m_high);
    }
    int GetMode() const { return m_mode; }
    const T& GetLow() const { return m_low; }
    const T& GetHigh() const { return m_high; }

private:
    T m_low;
    T m_high;
    int m_mode;
};
