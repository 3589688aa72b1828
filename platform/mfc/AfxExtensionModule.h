#pragma once
// Extension modules: shared libraries that add resources (dialog templates, menus, accelerator
// tables) to the application's resource look-up. A library initialises its module state when
// it is loaded, creates one CDynLinkLibrary to join the chain of resource modules, and ends the
// module state when it is unloaded, which also takes its CDynLinkLibrary objects off the chain.

#include "win/WinTypes.h"

#include <vector>

struct AFX_EXTENSION_MODULE
{
    BOOL bInitialized = FALSE;
    HINSTANCE hModule = nullptr;
};

// The handle of the loaded module (executable or shared library) that holds the address: its
// base address. Null when the address lies in no loaded module. A library passes the address of
// one of its own functions to learn its own handle.
HINSTANCE AfxModuleOf(const void* address);

// Fails (FALSE) for a null module handle; initialising twice is allowed and does nothing.
BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HINSTANCE hModule);
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);

// A module's place in the chain of resource modules. Made with new by the library's entry point;
// AfxTermExtensionModule deletes the module's objects.
class CDynLinkLibrary
{
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state);
    ~CDynLinkLibrary();
    CDynLinkLibrary(const CDynLinkLibrary&) = delete;
    CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;

    HINSTANCE GetModule() const { return m_hModule; }

    // The modules searched for resources, most recently added first.
    static std::vector<HINSTANCE> GetResourceModules();

private:
    HINSTANCE m_hModule;
};
