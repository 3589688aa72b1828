#include "tool/CqzFilterIdentifiers.h"

#include <memory>

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

std::unique_ptr<Strings>& Instance()
{
    static std::unique_ptr<Strings> strings;
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
        Instance() = std::make_unique<Strings>();
}

void CqzFilterIdentifiers::Destroy()
{
    Instance().reset();
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
