#pragma once
// A label and a status number, as reported in dependency queries.

#include "qzSystem/ids/CqzID.h"

class CqzLabelStatus
{
public:
    CqzLabelStatus(const CqzID& labelID, int status) : m_labelID(labelID), m_status(status) {}
    const CqzID& GetLabelID() const { return m_labelID; }
    int GetStatus() const { return m_status; }

private:
    CqzID m_labelID;
    int m_status;
};
