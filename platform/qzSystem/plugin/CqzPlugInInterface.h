#pragma once
// What the host sees of every plug-in instance. The host owns instances and deletes them
// through this interface.

#include "mfc/CString.h"
#include "qzSystem/ids/CqzID.h"

#include <vector>

class CqzData;
class CqzMessageBase;
class CqzUICmdBase;

class CqzPlugInInterface
{
public:
    virtual ~CqzPlugInInterface() = default;

    virtual void SetName(const CString& name) = 0;
    virtual const CString& GetName() const = 0;
    virtual const CqzID& GetInstanceID() const = 0;
    virtual const CqzID& GetTypeID() const = 0;
    virtual const GUID& GetAddInClassID() const = 0;
    virtual int GetNumInputs() const = 0;
    virtual int GetNumOutputs() const = 0;
    virtual bool IsDeletable() const = 0;
    virtual bool Execute() = 0;
    // The instance's data set (not owned); null until the host connects one.
    virtual CqzData* GetData() const = 0;
    virtual void HandleMessage(CqzMessageBase* message) = 0;
    virtual void SetData(CqzData* data) = 0;
    virtual bool IsEnabled() const = 0;
    // The user-interface commands of a kind (5: the commands that open the instance's
    // editor), owned by the instance; none by default.
    virtual std::vector<CqzUICmdBase*> GetUICmds(int /*kind*/) { return {}; }
};
