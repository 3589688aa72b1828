#pragma once
// Stands in for a label occurrence that compiles to no test: a choice the filter does not
// evaluate (edges and transitions on value labels), an integral label whose column gives no
// width, a label of no known type. It behaves exactly like a leaf whose label has no usable
// value at any sample: it is false, and that false takes part in AND, OR and inversion like any
// other. This keeps every operator with two operands and every root with a tree, and it reads
// nothing, so the occurrence indices of the other leaves are not disturbed.

#include "evaluation/CqzFilterTreeOperandBase.h"

class CqzFilterTreeNoValueOperand final : public CqzFilterTreeOperandBase
{
public:
    explicit CqzFilterTreeNoValueOperand(int index) : CqzFilterTreeOperandBase(index) {}
    bool Evaluate() override { return false; }
    CqzFilterTreeNode* Clone() const override
    {
        return new CqzFilterTreeNoValueOperand(GetIndex());
    }
    bool IsConstant() const override { return true; }
};
