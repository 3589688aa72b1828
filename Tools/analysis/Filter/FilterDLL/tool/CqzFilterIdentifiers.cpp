#include "tool/CqzFilterIdentifiers.h"

#include <utility>

namespace
{
struct Strings
{
    CString addInClassID{L"{6A1C3E52-5B7D-4F19-8E2A-3D9C1B7F0A64}"};
    CString standardToolCommandIFace{L"StandardToolCommandIFace"};
    CString standardAnalysisToolCommandIFace{L"StandardAnalysisToolCommandIFace"};
    CString filterColorizeAnalysisTool{L"FilterColorizeAnalysisTool"};
    CString filter{L"Filter"};
    CString sampleAttributes{L"CqzSampleAttributes"};
};

// Made and freed by the library's load and unload only: a pointer without a destructor of its
// own, since a process that ends by exit() without unloading the library destroys its statics
// before the library's unload runs.
Strings*& Instance()
{
    static Strings* strings = nullptr;
    return strings;
}

const Strings& Get()
{
    if (!Instance())
        CqzFilterIdentifiers::Create();
    return *Instance();
}
} // namespace

void CqzFilterIdentifiers::Create()
{
    if (!Instance())
        Instance() = new Strings;
}

void CqzFilterIdentifiers::Destroy()
{
    delete std::exchange(Instance(), nullptr);
}

bool CqzFilterIdentifiers::IsCreated()
{
    return Instance() != nullptr;
}

const CString& CqzFilterIdentifiers::AddInClassID()
{
    return Get().addInClassID;
}
const CString& CqzFilterIdentifiers::StandardToolCommandIFace()
{
    return Get().standardToolCommandIFace;
}
const CString& CqzFilterIdentifiers::StandardAnalysisToolCommandIFace()
{
    return Get().standardAnalysisToolCommandIFace;
}
const CString& CqzFilterIdentifiers::FilterColorizeAnalysisTool()
{
    return Get().filterColorizeAnalysisTool;
}
const CString& CqzFilterIdentifiers::Filter()
{
    return Get().filter;
}
const CString& CqzFilterIdentifiers::SampleAttributes()
{
    return Get().sampleAttributes;
}
