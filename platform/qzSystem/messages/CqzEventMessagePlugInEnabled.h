#pragma once
// Events 25 and 26: a plug-in instance was enabled or disabled as a whole.

#include "qzSystem/ids/CqzID.h"
#include "qzSystem/messages/CqzEventMessageBase.h"

class CqzEventMessagePlugInEnabled : public CqzEventMessageBase
{
public:
    static constexpr unsigned int TypeID = 25;
    explicit CqzEventMessagePlugInEnabled(const CqzID& instanceID)
        : CqzEventMessageBase(TypeID), m_instanceID(instanceID)
    {
    }
    const CqzID& GetInstanceID() const { return m_instanceID; }

private:
    CqzID m_instanceID;
};

class CqzEventMessagePlugInDisabled : public CqzEventMessageBase
{
public:
    static constexpr unsigned int TypeID = 26;
    explicit CqzEventMessagePlugInDisabled(const CqzID& instanceID)
        : CqzEventMessageBase(TypeID), m_instanceID(instanceID)
    {
    }
    const CqzID& GetInstanceID() const { return m_instanceID; }

private:
    CqzID m_instanceID;
};
