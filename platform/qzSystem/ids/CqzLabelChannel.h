#pragma once
// A label and one channel of it; channel -1 means the whole label.

#include "qzSystem/ids/CqzID.h"

class CqzLabelChannel
{
public:
    CqzLabelChannel() = default;
    CqzLabelChannel(const CqzID& labelID, int channel) : m_labelID(labelID), m_channel(channel) {}

    const CqzID& GetLabelID() const { return m_labelID; }
    int GetChannel() const { return m_channel; }
    void SetLabelID(const CqzID& id) { m_labelID = id; }
    void SetChannel(int channel) { m_channel = channel; }

    friend bool operator==(const CqzLabelChannel&, const CqzLabelChannel&) = default;

private:
    CqzID m_labelID;
    int m_channel = -1;
};
