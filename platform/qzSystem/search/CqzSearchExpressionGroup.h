#pragma once
// A bracket token of a search expression.

#include "qzSystem/search/CqzSearchExpressionNode.h"

class CqzSearchExpressionGroup : public CqzSearchExpressionNode
{
public:
    CqzSearchExpressionGroup(const CqzID& id, bool opening)
        : CqzSearchExpressionNode(id, eqzExpressionGroup), m_opening(opening)
    {
    }
    // 0 opens a group, 1 closes one.
    virtual int GetBracket() const { return m_opening ? 0 : 1; }

private:
    bool m_opening;
};
