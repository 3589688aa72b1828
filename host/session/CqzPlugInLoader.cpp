#include "CqzPlugInLoader.h"

#include "CqzHostError.h"

#include <cstdlib>
#include <dlfcn.h>

CqzPlugInLoader::CqzPlugInLoader(const std::string& path) : m_path(path)
{
    m_library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_library == nullptr)
    {
        const char* why = dlerror();
        throw CqzHostError(eqzExitPlugIn, "cannot load the plug-in '" + path +
                                              "': " + (why ? why : "unknown reason"));
    }
    m_create = reinterpret_cast<CreateFunction>(dlsym(m_library, "Create"));
    if (m_create == nullptr)
    {
        dlclose(m_library);
        throw CqzHostError(eqzExitPlugIn, "the plug-in '" + path + "' has no function Create");
    }
}

CqzPlugInLoader::~CqzPlugInLoader()
{
    dlclose(m_library);
}

CqzPlugInInterface* CqzPlugInLoader::Create(CqzPlugInDataBase& description) const
{
    return m_create(&description);
}

std::string CqzPlugInLoader::ChoosePath(const std::string& option)
{
    if (!option.empty())
        return option;
    if (const char* environment = std::getenv("QZFILTER_PLUGIN"); environment && *environment)
        return environment;
#ifdef QZ_DEFAULT_PLUGIN_PATH
    return QZ_DEFAULT_PLUGIN_PATH;
#else
    return "libqzFilter.so";
#endif
}
