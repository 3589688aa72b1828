#pragma once
// An event of a search expression: one pattern on one label.

#include "qzSystem/search/CqzPatternModel.h"

class CqzSearchEventLabel : public CqzSearchComponentModel
{
public:
    CqzSearchEventLabel() = default;
    explicit CqzSearchEventLabel(const CqzPatternModel& pattern) : m_pattern(pattern) {}
    CqzSearchComponentModel* Clone() const override { return new CqzSearchEventLabel(*this); }

    CqzPatternModel* GetEventLabel() { return &m_pattern; }
    const CqzPatternModel* GetEventLabel() const { return &m_pattern; }

private:
    CqzPatternModel m_pattern;
};
