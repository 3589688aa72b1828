#pragma once
// The filter plug-in loaded as a host loads it: dlopen, then its exported Create makes tool
// instances. The library stays loaded until this object is destroyed, which must come after
// every tool it made.

#include "qzSystem/ids/CqzID.h"
#include "qzSystem/plugin/CqzPlugInInterface.h"

#include <memory>
#include <string>

class CqzBenchPlugIn
{
public:
    // Throws std::runtime_error naming the library when it cannot be loaded or has no Create.
    explicit CqzBenchPlugIn(const std::string& path);
    ~CqzBenchPlugIn();
    CqzBenchPlugIn(const CqzBenchPlugIn&) = delete;
    CqzBenchPlugIn& operator=(const CqzBenchPlugIn&) = delete;

    // A new filter tool with this instance identifier; throws when Create refuses.
    std::unique_ptr<CqzPlugInInterface> CreateTool(const CqzID& instance) const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
