#pragma once
// Bracket marker on the compiler's operator stack; never part of a finished tree.

#include "evaluation/CqzFilterTreeNode.h"

class CqzFilterTreeGroup : public CqzFilterTreeNode
{
public:
    explicit CqzFilterTreeGroup(int tag) : m_tag(tag) {}
    int GetType() const override { return 0; }
    bool Evaluate() override { return false; }
    CqzFilterTreeNode* Clone() const override { return new CqzFilterTreeGroup(m_tag); }
    bool IsGroup() const override { return true; }
    int GetTag() const { return m_tag; }

private:
    int m_tag;
};
