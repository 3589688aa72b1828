#pragma once
// One token of a search expression as handed to compilers: the identifier of the component
// behind it and its kind.

#include "qzSystem/ids/CqzID.h"

enum EqzSearchExpressionKind
{
    eqzExpressionEventLabel = 0,
    eqzExpressionConj = 1,
    eqzExpressionGroup = 2
};

class CqzSearchExpressionNode
{
public:
    CqzSearchExpressionNode(const CqzID& id, int kind) : m_id(id), m_kind(kind) {}
    virtual ~CqzSearchExpressionNode() = default;

    const CqzID& GetID() const { return m_id; }
    // 0 event label, 1 conjunction, any other value a bracket (CqzSearchExpressionGroup).
    virtual int GetKind() const { return m_kind; }

private:
    CqzID m_id;
    int m_kind;
};
