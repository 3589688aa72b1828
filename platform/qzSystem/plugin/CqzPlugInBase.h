#pragma once
// Keeps and returns the identifiers a plug-in was made with, its name and its data set.

#include "qzSystem/plugin/CqzPlugInInterface.h"

class CqzPlugInBase : public CqzPlugInInterface
{
public:
    CqzPlugInBase(const CqzID& nameID, const CqzID& instanceID, const CqzID& typeID,
                  const GUID& addInClassID)
        : m_nameID(nameID), m_instanceID(instanceID), m_typeID(typeID), m_addInClassID(addInClassID)
    {
    }

    void SetName(const CString& name) override { m_name = name; }
    const CString& GetName() const override { return m_name; }
    const CqzID& GetNameID() const { return m_nameID; }
    const CqzID& GetInstanceID() const override { return m_instanceID; }
    const CqzID& GetTypeID() const override { return m_typeID; }
    const GUID& GetAddInClassID() const override { return m_addInClassID; }
    int GetNumInputs() const override { return 1; }
    int GetNumOutputs() const override { return 1; }
    bool IsDeletable() const override { return true; }
    bool Execute() override { return false; }
    CqzData* GetData() const override { return m_data; }
    void HandleMessage(CqzMessageBase*) override {}
    void SetData(CqzData* data) override { m_data = data; }
    bool IsEnabled() const override { return true; }

private:
    CString m_name;
    CqzID m_nameID;
    CqzID m_instanceID;
    CqzID m_typeID;
    GUID m_addInClassID;
    CqzData* m_data = nullptr;
};
