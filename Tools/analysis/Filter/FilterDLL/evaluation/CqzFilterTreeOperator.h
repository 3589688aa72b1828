#pragma once
// AND (kind 0) or OR (kind 1) over the left and right subtrees, with short circuit.

#include "evaluation/CqzFilterTreeNode.h"

class CqzFilterTreeOperator final : public CqzFilterTreeNode
{
public:
    static constexpr int And = 0;
    static constexpr int Or = 1;

    explicit CqzFilterTreeOperator(int kind) : m_kind(kind) {}
    int GetType() const override { return 2; }
    bool Evaluate() override
    {
        // A side that the compiler left empty counts as false.
        CqzFilterTreeNode* left = GetLeft();
        CqzFilterTreeNode* right = GetRight();
        const bool l = left != nullptr && left->Evaluate();
        if (m_kind == Or ? l : !l)
            return l;
        return right != nullptr && right->Evaluate();
    }
    CqzFilterTreeNode* Clone() const override { return new CqzFilterTreeOperator(m_kind); }
    bool IsOperator() const override { return true; }
    int GetOperator() const { return m_kind; }

private:
    int m_kind;
};
