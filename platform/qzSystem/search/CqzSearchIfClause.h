#pragma once
// The condition part of a search model: its event list.

#include "qzSystem/search/CqzSearchEventList.h"

class CqzSearchIfClause
{
public:
    CqzSearchEventList* GetEventList() { return &m_events; }
    const CqzSearchEventList* GetEventList() const { return &m_events; }

private:
    CqzSearchEventList m_events;
};
