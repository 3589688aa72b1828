#pragma once
// An opening or closing bracket of a search expression.

#include "qzSystem/search/CqzSearchComponentModel.h"

class CqzSearchEventBracket : public CqzSearchComponentModel
{
public:
    explicit CqzSearchEventBracket(bool opening) : m_opening(opening) {}
    CqzSearchComponentModel* Clone() const override { return new CqzSearchEventBracket(*this); }

    bool IsOpening() const { return m_opening; }

private:
    bool m_opening;
};
