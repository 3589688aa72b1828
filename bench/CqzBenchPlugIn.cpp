#include "CqzBenchPlugIn.h"

#include "qzSystem/plugin/CqzPlugInDataBase.h"

#include <dlfcn.h>
#include <stdexcept>

namespace
{
using CreateFunction = CqzPlugInInterface* (*)(CqzPlugInDataBase*);
// The type identifier of the filter tool.
const wchar_t* FilterTypeID = L"{6A1C3E52-5B7D-4F19-8E2A-3D9C1B7F0A64}";
} // namespace

struct CqzBenchPlugIn::SqzImp
{
    void* library = nullptr;
    CreateFunction create = nullptr;
    CqzID type;
};

CqzBenchPlugIn::CqzBenchPlugIn(const std::string& path) : m_imp(std::make_unique<SqzImp>())
{
    m_imp->library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_imp->library == nullptr)
        throw std::runtime_error("cannot load the plug-in " + path + ": " + dlerror());
    m_imp->create = reinterpret_cast<CreateFunction>(dlsym(m_imp->library, "Create"));
    if (m_imp->create == nullptr)
    {
        dlclose(m_imp->library);
        throw std::runtime_error("the plug-in " + path + " has no Create");
    }
    m_imp->type.SetValue(CString(FilterTypeID));
}

CqzBenchPlugIn::~CqzBenchPlugIn()
{
    dlclose(m_imp->library);
}

std::unique_ptr<CqzPlugInInterface> CqzBenchPlugIn::CreateTool(const CqzID& instance) const
{
    CqzPlugInAnToolData record(CqzID(), instance, m_imp->type, GUID{});
    std::unique_ptr<CqzPlugInInterface> tool(m_imp->create(&record));
    if (!tool)
        throw std::runtime_error("the plug-in's Create made no filter tool");
    return tool;
}
