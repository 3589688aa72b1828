#include "mfc/AfxResource.h"

#include "mfc/AfxExtensionModule.h"

#include <map>
#include <mutex>

namespace
{
struct Registry
{
    std::mutex lock;
    std::map<HINSTANCE, const AFX_RESOURCE_TABLE*> tables;
};

Registry& GetRegistry()
{
    static Registry registry;
    return registry;
}

template <typename Resource>
const Resource* Find(UINT id, std::vector<Resource> AFX_RESOURCE_TABLE::*list)
{
    Registry& registry = GetRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    for (HINSTANCE module : CDynLinkLibrary::GetResourceModules())
    {
        auto found = registry.tables.find(module);
        if (found == registry.tables.end())
            continue;
        for (const Resource& resource : found->second->*list)
            if (resource.id == id)
                return &resource;
    }
    return nullptr;
}
} // namespace

void AfxRegisterResources(HINSTANCE module, const AFX_RESOURCE_TABLE* table)
{
    Registry& registry = GetRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    if (table == nullptr)
        registry.tables.erase(module);
    else
        registry.tables[module] = table;
}

void AfxUnregisterResources(HINSTANCE module)
{
    AfxRegisterResources(module, nullptr);
}

const AFX_DIALOG_RESOURCE* AfxFindDialogResource(UINT id)
{
    return Find(id, &AFX_RESOURCE_TABLE::dialogs);
}

const AFX_MENU_RESOURCE* AfxFindMenuResource(UINT id)
{
    return Find(id, &AFX_RESOURCE_TABLE::menus);
}

const AFX_ACCEL_RESOURCE* AfxFindAccelResource(UINT id)
{
    return Find(id, &AFX_RESOURCE_TABLE::accelerators);
}
