#pragma once
// Base of the leaves: each tests one label occurrence, found by its index in the sample.

#include "evaluation/CqzFilterTreeNode.h"

class CqzFilterTreeOperandBase : public CqzFilterTreeNode
{
public:
    explicit CqzFilterTreeOperandBase(int index) : m_index(index) {}
    int GetType() const override { return 1; }
    bool IsOperand() const override { return true; }
    int GetIndex() const { return m_index; }

private:
    int m_index;
};
