#include "mfc/AfxExtensionModule.h"

#include "mfc/AfxResource.h"

#include <algorithm>
#include <dlfcn.h>
#include <mutex>

namespace
{
struct Chain
{
    std::mutex lock;
    std::vector<CDynLinkLibrary*> libraries; // most recent last
};

Chain& GetChain()
{
    static Chain chain;
    return chain;
}
} // namespace

HINSTANCE AfxModuleOf(const void* address)
{
    Dl_info info{};
    if (dladdr(address, &info) == 0)
        return nullptr;
    return info.dli_fbase;
}

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HINSTANCE hModule)
{
    if (hModule == nullptr)
        return FALSE;
    state.hModule = hModule;
    state.bInitialized = TRUE;
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL /*bAll*/)
{
    if (!state.bInitialized)
        return;
    std::vector<CDynLinkLibrary*> owned;
    {
        Chain& chain = GetChain();
        std::lock_guard<std::mutex> guard(chain.lock);
        for (CDynLinkLibrary* library : chain.libraries)
            if (library->GetModule() == state.hModule)
                owned.push_back(library);
    }
    for (CDynLinkLibrary* library : owned)
        delete library;
    AfxUnregisterResources(state.hModule);
    state.bInitialized = FALSE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state) : m_hModule(state.hModule)
{
    Chain& chain = GetChain();
    std::lock_guard<std::mutex> guard(chain.lock);
    chain.libraries.push_back(this);
}

CDynLinkLibrary::~CDynLinkLibrary()
{
    Chain& chain = GetChain();
    std::lock_guard<std::mutex> guard(chain.lock);
    chain.libraries.erase(std::remove(chain.libraries.begin(), chain.libraries.end(), this),
                          chain.libraries.end());
}

std::vector<HINSTANCE> CDynLinkLibrary::GetResourceModules()
{
    Chain& chain = GetChain();
    std::lock_guard<std::mutex> guard(chain.lock);
    std::vector<HINSTANCE> modules;
    for (auto it = chain.libraries.rbegin(); it != chain.libraries.rend(); ++it)
        modules.push_back((*it)->GetModule());
    return modules;
}
