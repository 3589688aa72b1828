#pragma once
// Owns one loaded plug-in library: dlopen on construction, dlclose on destruction, and the
// library's factory `Create`. Every instance the factory made must be destroyed before the
// loader is. Throws CqzHostError (exit code 3) when the library or its factory is missing.

#include <string>

class CqzPlugInDataBase;
class CqzPlugInInterface;

class CqzPlugInLoader
{
public:
    // The add-in class identifier of the filter tool, passed as the type identifier.
    static constexpr const wchar_t* FilterTypeID = L"{6A1C3E52-5B7D-4F19-8E2A-3D9C1B7F0A64}";

    explicit CqzPlugInLoader(const std::string& path);
    ~CqzPlugInLoader();
    CqzPlugInLoader(const CqzPlugInLoader&) = delete;
    CqzPlugInLoader& operator=(const CqzPlugInLoader&) = delete;

    // A new instance (owned by the caller), or null when the factory refuses the description.
    CqzPlugInInterface* Create(CqzPlugInDataBase& description) const;
    const std::string& GetPath() const { return m_path; }

    // The library to load: the option, else $QZFILTER_PLUGIN, else the one built with the host.
    static std::string ChoosePath(const std::string& option);

private:
    using CreateFunction = CqzPlugInInterface* (*)(CqzPlugInDataBase*);

    std::string m_path;
    void* m_library = nullptr;
    CreateFunction m_create = nullptr;
};
