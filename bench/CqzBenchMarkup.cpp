#include "CqzBenchMarkup.h"

#include "CqzBenchPlugIn.h"
#include "CqzBenchStopwatch.h"
#include "CqzBenchWorkload.h"

#include "markup/CqzXMLParser.h"
#include "qzSystem/commands/CqzStdCmdIFace.h"
#include "qzSystem/managers/CqzStdCmdIFaceMgr.h"
#include "qzSystem/messages/CqzMessageDestroyPlugIn.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace
{

// A tool that holds a setup, destroyed as a host destroys it.
class CqzBenchMarkupTool
{
public:
    CqzBenchMarkupTool(const CqzBenchPlugIn& plugIn, CqzData& data)
        : m_tool(plugIn.CreateTool(m_instance))
    {
        m_tool->SetData(&data);
        m_commands = CqzStdCmdIFaceMgr::Instance().Find(m_instance);
        if (m_commands == nullptr)
            throw std::runtime_error("the filter tool has no command interface");
    }
    ~CqzBenchMarkupTool()
    {
        CqzMessageDestroyPlugIn destroy;
        m_tool->HandleMessage(&destroy);
    }
    CqzBenchMarkupTool(const CqzBenchMarkupTool&) = delete;
    CqzBenchMarkupTool& operator=(const CqzBenchMarkupTool&) = delete;

    void Apply(CqzXMLParser& xml) const
    {
        if (!m_commands->DoCommands(xml))
            throw std::runtime_error("the filter tool refused the benchmark's large setup");
    }
    CString GetSetup() const
    {
        CString reply;
        if (!m_commands->ExecuteQuery(L"GetSetup", reply))
            throw std::runtime_error("the filter tool does not answer GetSetup");
        return reply;
    }

private:
    const CqzID m_instance;
    std::unique_ptr<CqzPlugInInterface> m_tool;
    CqzStdCmdIFace* m_commands = nullptr;
};

} // namespace

CString CqzBenchMarkup::MakeTerms(int terms)
{
    std::wstring text = L"<Filter Enabled='T'>\n";
    for (int i = 0; i < terms; ++i)
        text += L"  <FilterExpression Name='term " + std::to_wstring(i) +
                L"'>\n    <Search Enabled='T'>\n      <Event Label='STAT' Op='Equal' Value='h" +
                std::to_wstring(i % 10) +
                L"'/>\n    </Search>\n    <FilterAction Type='Hide'/>\n  </FilterExpression>\n";
    return CString(text + L"</Filter>\n");
}

CString CqzBenchMarkup::MakeEvents(int events)
{
    std::wstring text = L"<Filter Enabled='T'>\n  <FilterExpression Name='many'>\n"
                        L"    <Search Enabled='T'>\n";
    for (int i = 0; i < events; ++i)
        text += std::wstring(i == 0 ? L"" : L"      <Conj Type='OR'/>\n") +
                L"      <Event Label='ADDR' Op='Equal' Value='h" + std::to_wstring(i) + L"'/>\n";
    return CString(text + L"    </Search>\n    <FilterAction Type='Hide'/>\n"
                          L"  </FilterExpression>\n</Filter>\n");
}

CqzBenchMarkup::SqzResult CqzBenchMarkup::RunTerms(int terms) const
{
    return Run(MakeTerms(terms));
}

CqzBenchMarkup::SqzResult CqzBenchMarkup::RunEvents(int events) const
{
    return Run(MakeEvents(events));
}

CqzBenchMarkup::SqzResult CqzBenchMarkup::Run(const CString& markup) const
{
    CqzBenchWorkload workload(1000, false); // the labels ADDR and STAT
    SqzResult result;
    CString written;
    {
        const CqzBenchMarkupTool tool(m_plugIn, workload.GetData());
        CqzBenchStopwatch clock;
        CqzXMLParser xml;
        if (!xml.SetDocument(markup))
            throw std::runtime_error("the benchmark's large setup does not parse");
        result.parseSeconds = clock.WallSeconds();
        clock.Restart();
        tool.Apply(xml);
        result.applySeconds = clock.WallSeconds();
        clock.Restart();
        written = tool.GetSetup();
        result.buildSeconds = clock.WallSeconds();
    }
    result.characters = written.GetLength();
    const CqzBenchMarkupTool second(m_plugIn, workload.GetData());
    const CqzBenchStopwatch clock;
    CqzXMLParser xml(written);
    second.Apply(xml);
    result.reloadSeconds = clock.WallSeconds();
    result.exact = second.GetSetup() == written;
    return result;
}
