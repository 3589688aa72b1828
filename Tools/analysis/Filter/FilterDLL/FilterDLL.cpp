// The plug-in library's entry points: Create, the factory the host calls for a new filter tool,
// and the library entry run when the library is loaded and unloaded.

#include "FilterResources.h"
#include "mfc/AfxExtensionModule.h"
#include "qzSystem/managers/CqzInfoMgr.h"
#include "qzSystem/plugin/CqzPlugInDataBase.h"
#include "tool/CqzFilter.h"
#include "tool/CqzFilterIdentifiers.h"

#include <new>

namespace
{
AFX_EXTENSION_MODULE FilterDLL;
bool g_loaded = false;

BOOL DllMain(HINSTANCE hInstance, DWORD reason)
{
    if (reason == DLL_PROCESS_ATTACH)
    {
        if (!AfxInitExtensionModule(FilterDLL, hInstance))
            return FALSE;
        new CDynLinkLibrary(FilterDLL);
        AfxRegisterResources(hInstance, &FilterResourceTable());
        CqzFilterIdentifiers::Create();
    }
    else if (reason == DLL_PROCESS_DETACH)
    {
        CqzFilterIdentifiers::Destroy();
        AfxUnregisterResources(hInstance);
        AfxTermExtensionModule(FilterDLL);
    }
    return TRUE;
}

// The module handle of this library: its base address.
HINSTANCE ThisModule()
{
    return AfxModuleOf(reinterpret_cast<const void*>(&ThisModule));
}

// The dynamic loader cannot be told that a load failed, so a failed entry is remembered and
// Create refuses to make tools, saying why.
__attribute__((constructor)) void OnLoad()
{
    g_loaded = DllMain(ThisModule(), DLL_PROCESS_ATTACH) == TRUE;
}

__attribute__((destructor)) void OnUnload()
{
    if (g_loaded)
        DllMain(ThisModule(), DLL_PROCESS_DETACH);
    g_loaded = false;
}
} // namespace

extern "C" __attribute__((visibility("default"))) CqzPlugInInterface*
Create(CqzPlugInDataBase* data)
{
    if (!g_loaded)
    {
        CqzInfoMgr::Instance().LogMessage(L"Analysis API DLL Create() - library not initialised",
                                          eqzLogError);
        return nullptr;
    }
    CqzID addInClass;
    addInClass.SetValue(CqzFilterIdentifiers::AddInClassID());
    const CqzID nameID = data->GetNameID();
    const CqzID instanceID = data->GetInstanceID();
    const CqzID typeID = data->GetTypeID();
    const GUID addInClassID = data->GetAddInClassID();
    if (!(typeID == addInClass))
    {
        CString text(L"Analysis API DLL Create() - no matching typeID found!");
        CqzInfoMgr::Instance().LogMessage(text, eqzLogError);
        return nullptr;
    }
    return static_cast<CqzPlugInAnToolBase*>(
        new (std::nothrow) CqzFilter(nameID, instanceID, typeID, addInClassID));
}
