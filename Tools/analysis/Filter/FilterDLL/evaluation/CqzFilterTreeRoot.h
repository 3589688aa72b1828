#pragma once
// Heads the tree of one filter term, may invert its result, and answers its leaves' look-ups of
// the current sample's values from the owning filter object.

#include "evaluation/CqzFilterTreeNode.h"
#include "evaluation/SqzFilterSample.h"

class CqzFilterObject;

class CqzFilterTreeRoot final : public CqzFilterTreeNode
{
public:
    explicit CqzFilterTreeRoot(CqzFilterObject* owner);
    int GetType() const override { return 3; }
    bool Evaluate() override
    {
        CqzFilterTreeNode* tree = GetLeft();
        const bool result = tree != nullptr && tree->Evaluate();
        return m_inverted ? !result : result;
    }
    CqzFilterTreeNode* Clone() const override;

    void SetInverted(bool inverted) { m_inverted = inverted; }
    bool GetInverted() const { return m_inverted; }
    CqzFilterObject* GetOwner() const { return m_owner; }
    // The record of the sample under evaluation; never null.
    const SqzFilterSample& GetSample() const { return *m_sample; }

    // The value (or text) and data status of label occurrence `index` in the current sample.
    void GetValue(int index, CqzUInt& value, int& status) const
    {
        value = (*m_sample->values)[static_cast<std::size_t>(index)];
        status = (*m_sample->valueStatuses)[static_cast<std::size_t>(index)];
    }
    void GetString(int index, CString& text, int& status) const
    {
        text = (*m_sample->texts)[static_cast<std::size_t>(index)];
        status = (*m_sample->textStatuses)[static_cast<std::size_t>(index)];
    }

private:
    bool m_inverted = false;
    CqzFilterObject* m_owner;
    const SqzFilterSample* m_sample;
};
