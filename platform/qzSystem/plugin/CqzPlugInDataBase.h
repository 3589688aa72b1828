#pragma once
// The host's description of a plug-in instance to make: the identifiers handed to Create.

#include "qzSystem/ids/CqzID.h"

class CqzPlugInDataBase
{
public:
    CqzPlugInDataBase(const CqzID& nameID, const CqzID& instanceID, const CqzID& typeID,
                      const GUID& addInClassID)
        : m_nameID(nameID), m_instanceID(instanceID), m_typeID(typeID), m_addInClassID(addInClassID)
    {
    }
    virtual ~CqzPlugInDataBase() = default;

    const CqzID& GetNameID() const { return m_nameID; }
    const CqzID& GetInstanceID() const { return m_instanceID; }
    const CqzID& GetTypeID() const { return m_typeID; }
    const GUID& GetAddInClassID() const { return m_addInClassID; }

private:
    CqzID m_nameID;
    CqzID m_instanceID;
    CqzID m_typeID;
    GUID m_addInClassID;
};

// The description of an analysis-tool instance.
class CqzPlugInAnToolData : public CqzPlugInDataBase
{
public:
    using CqzPlugInDataBase::CqzPlugInDataBase;
};
