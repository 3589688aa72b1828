#pragma once
// Base of the leaves: each tests one label occurrence, found by its index in the sample. A leaf
// keeps the sample record of its root, so that reading a value costs no walk up the tree.

#include "evaluation/CqzFilterTreeNode.h"
#include "evaluation/SqzFilterSample.h"

class CqzFilterTreeOperandBase : public CqzFilterTreeNode
{
public:
    explicit CqzFilterTreeOperandBase(int index)
        : m_index(index), m_slot(static_cast<std::size_t>(index))
    {
    }
    int GetType() const override { return 1; }
    bool IsOperand() const override { return true; }
    int GetIndex() const { return m_index; }
    void SetRoot(CqzFilterTreeRoot* root) override;

protected:
    // The value of this occurrence in the current sample, or null when its status makes it
    // unusable.
    const CqzUInt* GetUsableValue() const
    {
        return IsUnusableStatus((*m_sample->valueStatuses)[m_slot]) ? nullptr
                                                                    : &(*m_sample->values)[m_slot];
    }
    // The same for a text occurrence.
    const CString* GetUsableText() const
    {
        return IsUnusableStatus((*m_sample->textStatuses)[m_slot]) ? nullptr
                                                                   : &(*m_sample->texts)[m_slot];
    }

private:
    int m_index;
    std::size_t m_slot;
    const SqzFilterSample* m_sample = nullptr;
};
