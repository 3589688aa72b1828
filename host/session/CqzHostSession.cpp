#include "CqzHostSession.h"

#include "CqzHostError.h"
#include "CqzOutputFile.h"
#include "CqzPlugInLoader.h"
#include "CqzSetupCheck.h"
#include "CqzStreamCapture.h"
#include "CqzDecodeError.h"
#include "CqzDecodeRunner.h"
#include "capture/CqzCaptureError.h"
#include "capture/CqzCaptureLoader.h"
#include "capture/CqzCaptureMemory.h"
#include "capture/CqzCaptureWorker.h"
#include "qzSystem/commands/CqzStdAnalysisToolCmdIFace.h"
#include "qzSystem/managers/CqzLabelMgr.h"
#include "qzSystem/managers/CqzMemoryBudget.h"
#include "qzSystem/managers/CqzStdCmdIFaceMgr.h"
#include "qzSystem/managers/CqzSystemMgr.h"
#include "qzSystem/messages/CqzMessageDestroyPlugIn.h"
#include "qzSystem/messages/CqzMessagePersistence.h"
#include "qzSystem/messages/CqzMessageRefresh.h"
#include "qzSystem/messages/CqzMessageRun.h"
#include "qzSystem/output/CqzPageDataSource.h"
#include "qzSystem/persist/CqzPersistenceException.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"
#include "qzSystem/plugin/CqzPlugInDataBase.h"
#include "qzSystem/plugin/CqzPlugInInterface.h"
#include "qzSystem/search/CqzPatternCheck.h"


// The destructor takes these down in a fixed order: tool, data set, library.
struct CqzHostSession::SqzImp
{
    std::unique_ptr<CqzData> data;
    // An import on a worker (StartCapture): the data set is its gate's. The stream copy it
    // reads stays until it is gone.
    std::unique_ptr<CqzStreamCapture> stream;
    std::unique_ptr<CqzCaptureWorker> worker;
    bool held = false;
    std::int64_t followedRows = 0;
    std::unique_ptr<CqzPlugInLoader> library;
    std::unique_ptr<CqzPlugInInterface> tool;
    CqzStdAnalysisToolCmdIFace* commands = nullptr;
    CqzID instanceID;
    std::vector<std::string> decodedTables;

    CqzData* Data() const { return worker ? worker->GetGate().GetData() : data.get(); }
    // The tool's output of the capture table follows its rows.
    void GrowOutput(CqzDataTable& table) const
    {
        CqzDataColumn* column = table.GetColumn(eqzRoleAttributes);
        if (auto* source = column ? dynamic_cast<CqzPageDataSource*>(column->GetDataSource())
                                  : nullptr)
            source->GrowRows(table.GetRowCount());
    }

    CqzStdAnalysisToolCmdIFace& Commands() const
    {
        if (commands == nullptr)
            throw CqzHostError(eqzExitPlugIn, "no filter tool is running");
        return *commands;
    }
};

CqzHostSession::CqzHostSession() : m_imp(std::make_unique<SqzImp>()) {}

CqzHostSession::~CqzHostSession()
{
    // The import stops first, so that nothing writes to the data set the tool reads.
    ReleaseCapture();
    if (m_imp->worker)
        m_imp->worker->Stop();
    if (m_imp->tool)
    {
        CqzMessageDestroyPlugIn destroy;
        m_imp->tool->HandleMessage(&destroy);
        m_imp->tool.reset();
    }
    // The tool's output columns may hold objects made by the library: the data set goes
    // before the library is unloaded.
    m_imp->data.reset();
    m_imp->worker.reset();
    m_imp->library.reset();
    CqzMemoryBudget::Run().Clear();
}

// The options with the run's one limit: the import, the decoders' tables and the filter's
// output draw on it.
SqzCaptureOptions CqzHostSession::OnRunBudget(const SqzCaptureOptions& options)
{
    const CqzCaptureMemory::SqzLimit limit = CqzCaptureMemory::Limit(options);
    CqzMemoryBudget& budget = CqzMemoryBudget::Run();
    budget.SetLimit(limit.bytes, limit.source);
    SqzCaptureOptions withBudget = options;
    withBudget.budget = &budget;
    return withBudget;
}

void CqzHostSession::LoadCapture(const std::string& path, const SqzCaptureOptions& options)
{
    std::unique_ptr<CqzStreamCapture> input;
    try
    {
        const SqzCaptureOptions withBudget = OnRunBudget(options);
        if (CqzStreamCapture::IsStream(path))
            input = std::make_unique<CqzStreamCapture>(path, withBudget.budget->GetLimit());
        m_imp->data = CqzCaptureLoader::Load(input ? input->GetPath() : path, withBudget);
    }
    catch (const CqzCaptureError& error)
    {
        throw CqzHostError(eqzExitCapture, input ? input->Rename(error.what()) : error.what());
    }
    if (!m_imp->data || m_imp->data->GetTableCount() == 0)
        throw CqzHostError(eqzExitCapture, path + ": the capture holds no data");
}

void CqzHostSession::StartCapture(const std::string& path, const SqzCaptureOptions& options,
                                  std::int64_t publishEvery)
{
    // The worker draws on the run's budget only while it holds the gate, as the window's
    // thread does: the two never use it at once.
    SqzCaptureOptions withBudget;
    try
    {
        withBudget = OnRunBudget(options);
        if (CqzStreamCapture::IsStream(path))
            m_imp->stream =
                std::make_unique<CqzStreamCapture>(path, withBudget.budget->GetLimit());
    }
    catch (const CqzCaptureError& error)
    {
        throw CqzHostError(eqzExitCapture, error.what());
    }
    m_imp->worker = std::make_unique<CqzCaptureWorker>(
        m_imp->stream ? m_imp->stream->GetPath() : path, withBudget, publishEvery);
    WaitForRows(1);
    if (m_imp->worker->Failed())
        FinishCapture();
    m_imp->Data()->SetDataValid(true);
}

bool CqzHostSession::IsLoading() const
{
    return m_imp->worker && !m_imp->worker->GetGate().IsDone();
}

std::int64_t CqzHostSession::GetArrivedRows() const
{
    if (m_imp->worker)
        return m_imp->worker->GetGate().GetPublishedRows();
    return m_imp->data && m_imp->data->GetTableCount() > 0 ? m_imp->data->GetTable(0)->GetRowCount()
                                                           : 0;
}

void CqzHostSession::ReleaseCapture()
{
    if (m_imp->held)
        m_imp->worker->GetGate().Unlock();
    m_imp->held = false;
}

void CqzHostSession::HoldCapture()
{
    if (m_imp->worker && !m_imp->held)
        m_imp->worker->GetGate().Lock();
    m_imp->held = m_imp->worker != nullptr;
}

bool CqzHostSession::FollowCapture()
{
    if (!m_imp->worker)
        return false;
    m_imp->worker->Deliver();
    if (!m_imp->Data())
        return false;
    CqzDataTable& table = *m_imp->Data()->GetTable(0);
    if (table.GetRowCount() == m_imp->followedRows)
        return false;
    m_imp->followedRows = table.GetRowCount();
    if (!m_imp->tool)
        return true;
    m_imp->GrowOutput(table);
    CqzMessageRefresh refresh(CqzMessageRefresh::DataChangedTypeID);
    m_imp->tool->HandleMessage(&refresh);
    return true;
}

void CqzHostSession::WaitForRows(std::int64_t rows)
{
    if (!m_imp->worker)
        return;
    m_imp->worker->GetGate().StopAt(rows);
    ReleaseCapture();
    m_imp->worker->GetGate().WaitFor(rows);
    HoldCapture();
    FollowCapture();
}

void CqzHostSession::FinishCapture()
{
    if (!m_imp->worker)
        return;
    ReleaseCapture();
    try
    {
        m_imp->worker->Finish();
    }
    catch (const CqzCaptureError& error)
    {
        HoldCapture();
        throw CqzHostError(eqzExitCapture,
                           m_imp->stream ? m_imp->stream->Rename(error.what()) : error.what());
    }
    HoldCapture();
    FollowCapture();
}

void CqzHostSession::CancelCapture()
{
    if (m_imp->worker)
        m_imp->worker->GetGate().Cancel();
}

void CqzHostSession::SetData(std::unique_ptr<CqzData> data)
{
    if (!data || data->GetTableCount() == 0)
        throw CqzHostError(eqzExitCapture, "the data set holds no table");
    m_imp->data = std::move(data);
}

void CqzHostSession::Decode(const SqzDecodeRequest& request)
{
    try
    {
        const std::vector<std::string> names = CqzDecodeRunner::Run(*m_imp->data, request);
        m_imp->decodedTables.insert(m_imp->decodedTables.end(), names.begin(), names.end());
    }
    catch (const CqzDecodeError& error)
    {
        throw CqzHostError(eqzExitCapture, error.what());
    }
}

int CqzHostSession::FindTable(const std::string& name) const
{
    if (name == "capture")
        return 0;
    std::string names = "capture";
    for (std::size_t t = 0; t < m_imp->decodedTables.size(); ++t)
    {
        if (m_imp->decodedTables[t] == name)
            return static_cast<int>(t) + 1;
        names += ", " + m_imp->decodedTables[t];
    }
    throw CqzHostError(eqzExitUsage, "--table " + name + ": no such table (there are: " + names + ")");
}

const std::vector<std::string>& CqzHostSession::GetDecodedTables() const
{
    return m_imp->decodedTables;
}

void CqzHostSession::StartTool(const std::string& pluginPath)
{
    m_imp->library = std::make_unique<CqzPlugInLoader>(pluginPath);
    CqzID type;
    type.SetValue(CString(CqzPlugInLoader::FilterTypeID));
    CqzPlugInAnToolData description(CqzID(), m_imp->instanceID, type, type.GetGUID());
    m_imp->tool.reset(m_imp->library->Create(description));
    if (!m_imp->tool)
        throw CqzHostError(eqzExitPlugIn, "the plug-in '" + pluginPath + "' made no filter tool");
    m_imp->commands = dynamic_cast<CqzStdAnalysisToolCmdIFace*>(
        CqzStdCmdIFaceMgr::Instance().Find(m_imp->instanceID));
    if (m_imp->commands == nullptr)
        throw CqzHostError(eqzExitPlugIn, "the filter tool registered no command interface");
    std::vector<CqzID> labels;
    for (const CqzLabel* label : GetLabels())
        if (CqzPatternCheck::IsFilterable(*label))
            labels.push_back(label->GetLabelID());
    CqzSystemMgr::Instance().SetAvailableLabels(m_imp->instanceID, labels);
    m_imp->tool->SetData(m_imp->Data());
}

const CqzData& CqzHostSession::GetData() const
{
    return *m_imp->Data();
}

const CqzID& CqzHostSession::GetInstanceID() const
{
    return m_imp->instanceID;
}

std::vector<const CqzLabel*> CqzHostSession::GetLabels() const
{
    std::vector<const CqzLabel*> labels;
    const CqzData* data = m_imp->Data();
    if (!data)
        return labels;
    for (int t = 0; t < data->GetTableCount(); ++t)
    {
        const CqzDataTable& table = *data->GetTable(t);
        for (int c = 0; c < table.GetColumnCount(); ++c)
            if (const CqzLabel* label =
                    CqzLabelMgr::Instance().IDToLabel(table.GetColumnAt(c)->GetLabelID()))
                labels.push_back(label);
    }
    return labels;
}

CString CqzHostSession::GetSetupMarkup() const
{
    CString reply;
    if (!m_imp->Commands().ExecuteQuery(L"GetSetup", reply))
        throw CqzHostError(eqzExitPlugIn, "the filter tool does not answer GetSetup");
    return reply;
}

bool CqzHostSession::ApplyMarkup(CqzXMLParser& xml)
{
    return m_imp->Commands().DoCommands(xml);
}

CString CqzHostSession::ApplyMarkupFile(const std::string& path)
{
    CqzXMLParser xml;
    if (!xml.LoadFile(CString::FromUtf8(path)))
    {
        const std::string reason = xml.GetParseError().ToUtf8();
        throw CqzHostError(eqzExitFile,
                           path + ": " + (reason.empty() ? "the file holds no markup" : reason));
    }
    if (CqzXMLParser probe(xml); !probe.FindNext(L"/Filter"))
        throw CqzHostError(eqzExitFile, path + ": the root element is not <Filter>");
    const CqzSetupCheck check(GetLabels(), path);
    check.CheckMarkup(xml);
    const CString text = xml.GetDocument();
    if (!ApplyMarkup(xml))
        throw CqzHostError(eqzExitFile, check.Refused(xml, GetTermCount()));
    return text;
}

void CqzHostSession::SaveMarkupFile(const std::string& path) const
{
    CqzOutputFile file(path, "markup file");
    file.Stream() << GetMarkupText();
    file.Commit();
}

std::string CqzHostSession::GetMarkupText() const
{
    std::string text = GetSetupMarkup().ToUtf8();
    if (text.empty() || text.back() != '\n')
        text += '\n';
    return text;
}

void CqzHostSession::LoadSetupFile(const std::string& path)
{
    try
    {
        CqzPersistenceSetup setup(CString::FromUtf8(path), eqzPersistRead);
        CqzSetupCheck(GetLabels(), path).CheckSetup(setup);
        CqzMessageLoad load(&setup);
        m_imp->tool->HandleMessage(&load);
    }
    catch (const CqzPersistenceException& error)
    {
        throw CqzHostError(eqzExitFile, path + ": " + error.what());
    }
}

std::vector<CqzUICmdBase*> CqzHostSession::GetUICmds(int kind) const
{
    return m_imp->tool ? m_imp->tool->GetUICmds(kind) : std::vector<CqzUICmdBase*>{};
}

int CqzHostSession::GetTermCount() const
{
    CqzXMLParser xml;
    int count = 0;
    if (xml.SetDocument(GetSetupMarkup()) && xml.FindNext(L"/Filter"))
        while (xml.FindNextChild(L"FilterExpression"))
            ++count;
    return count;
}

void CqzHostSession::SaveSetupFile(const std::string& path)
{
    try
    {
        CqzPersistenceSetup setup(CString::FromUtf8(path), eqzPersistWrite);
        CqzMessageSave save(&setup);
        m_imp->tool->HandleMessage(&save);
        setup.Close();
    }
    catch (const CqzPersistenceException& error)
    {
        throw CqzHostError(eqzExitFile, error.what()); // names the file and the reason
    }
}

CqzPlugInInterface* CqzHostSession::GetTool() const
{
    return m_imp->tool.get();
}

void CqzHostSession::Run()
{
    CqzMessageRun run(true);
    m_imp->tool->HandleMessage(&run);
    // A disabled tool's run leaves its output of an earlier run in place; the host's chain
    // then goes on without it, as it does without a tool: its column is no longer the tables'
    // attribute column, so every display and export sees the rows as the tool found them.
    if (IsFilterEnabled() || !m_imp->Data())
        return;
    const CqzID& instance = GetInstanceID();
    for (int t = 0; t < m_imp->Data()->GetTableCount(); ++t)
    {
        CqzDataTable& table = *m_imp->Data()->GetTable(t);
        CqzID id;
        if (table.GetAttributeID(eqzRoleAttributes, id) && id == instance)
            table.ClearAttributeID(eqzRoleAttributes);
    }
}

bool CqzHostSession::IsFilterEnabled() const
{
    return m_imp->tool && m_imp->tool->IsEnabled();
}
