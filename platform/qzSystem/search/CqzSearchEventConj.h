#pragma once
// A conjunction between two operands of a search expression.

#include "qzSystem/search/CqzSearchComponentModel.h"

enum EqzSearchEventConjType
{
    eqzConjAnd = 0,
    eqzConjOr = 1
};

class CqzSearchEventConj : public CqzSearchComponentModel
{
public:
    explicit CqzSearchEventConj(EqzSearchEventConjType type = eqzConjAnd) : m_type(type) {}
    CqzSearchComponentModel* Clone() const override { return new CqzSearchEventConj(*this); }

    EqzSearchEventConjType GetType() const { return m_type; }
    void SetType(EqzSearchEventConjType type) { m_type = type; }

private:
    EqzSearchEventConjType m_type;
};
