#pragma once
// Knows the plug-in instances of the session (by instance identifier, with full names) and
// carries an analysis tool's run request to the host.

#include "mfc/CString.h"
#include "qzSystem/ids/CqzID.h"

#include <functional>
#include <map>

class CqzPlugInInterface;
class CqzPlugInAnToolBase;

class CqzPlugInMgr
{
public:
    using RunHandler = std::function<void(CqzPlugInAnToolBase*)>;

    static CqzPlugInMgr& Instance();

    // Records a plug-in (not owned) under an identifier with its full name. Acquisition modules
    // that own labels but are not plug-in objects are recorded with a null instance.
    void Register(const CqzID& id, const CString& fullName, CqzPlugInInterface* instance);
    void UnRegister(const CqzID& id);
    // The full name, or an empty text for an unknown identifier.
    CString GetFullName(const CqzID& id) const;
    CqzPlugInInterface* GetInstanceFromInstanceID(const CqzID& id) const;

    void SetRunHandler(RunHandler handler) { m_runHandler = std::move(handler); }
    // Hands the request to the host's run handler; without one nothing happens.
    void RequestRun(CqzPlugInAnToolBase* tool);
    void Reset();

private:
    CqzPlugInMgr() = default;
    struct Entry
    {
        CString fullName;
        CqzPlugInInterface* instance;
    };
    std::map<CqzID, Entry> m_plugIns;
    RunHandler m_runHandler;
};
