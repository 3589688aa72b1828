#include "tool/CqzFilter.h"

#include "editor/CqzFilterDlg.h"
#include "editor/CqzFilterUICmd.h"
#include "model/CqzFilterModel.h"
#include "output/CqzFilterEngine.h"
#include "output/CqzFilterTermCounter.h"
#include "qzSystem/managers/CqzFavoritesMgr.h"
#include "qzSystem/managers/CqzInfoMgr.h"
#include "qzSystem/managers/CqzStdCmdIFaceMgr.h"
#include "qzSystem/managers/CqzTermCountIFaceMgr.h"
#include "qzSystem/messages/CqzMessageDeleteConnection.h"
#include "qzSystem/messages/CqzMessageDestroyPlugIn.h"
#include "qzSystem/messages/CqzMessagePersistence.h"
#include "qzSystem/messages/CqzMessagePlugInDependsOn.h"
#include "qzSystem/messages/CqzMessageRefresh.h"
#include "qzSystem/messages/CqzMessageRun.h"
#include "qzSystem/persist/CqzFavorites.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"
#include "qzSystem/xml/CqzXMLParserSavePos.h"
#include "tool/CqzFilterIdentifiers.h"

#include <numeric>
#include <set>

namespace
{
constexpr int LogLevel = 3;
constexpr int ToolVersion = 1;
} // namespace

// Fields in the order they are made; destroyed in reverse: favourites, engine, applied setup,
// model, editor command.
struct CqzFilter::SqzImp
{
    explicit SqzImp(CqzFilter* tool)
        : editorCommand(std::make_unique<CqzFilterUICmd>(L"Properties", L"filter", tool)),
          model(tool->GetInstanceID()), engine(tool)
    {
    }

    std::unique_ptr<CqzFilterUICmd> editorCommand;
    CqzFilterModel model;
    std::unique_ptr<CqzFilterModel> appliedSetup;
    CqzFilterEngine engine;
    CqzFavorites favorites;
};

CqzFilter::CqzFilter(const CqzID& nameID, const CqzID& instanceID, const CqzID& typeID,
                     const GUID& addInClassID)
    : CqzPlugInAnToolBase(nameID, instanceID, typeID, addInClassID)
{
    CqzInfoMgr::Instance().LogMessage(L"CqzFilter::CqzFilter()", eqzLogTrace, LogLevel);
    m_imp = std::make_unique<SqzImp>(this);
    CqzStdCmdIFaceMgr::Instance().Register(GetInstanceID(), this);
    // Beyond the command interface: the rows each term decided, for the host's displays.
    CqzTermCountIFaceMgr::Instance().Register(GetInstanceID(), &m_imp->engine.GetTermCounter());
}

CqzFilter::~CqzFilter()
{
    CqzInfoMgr::Instance().LogMessage(L"CqzFilter::~CqzFilter()", eqzLogTrace, LogLevel);
    CqzStdCmdIFaceMgr::Instance().UnRegister(GetInstanceID());
    CqzTermCountIFaceMgr::Instance().UnRegister(GetInstanceID());
}

const CqzID& CqzFilter::GetInstanceID() const
{
    return CqzPlugInAnToolBase::GetInstanceID();
}

void CqzFilter::HandleMessage(CqzMessageBase* message)
{
    if (message == nullptr)
        return;
    switch (message->GetTypeID())
    {
    case CqzMessageRefresh::RefreshTypeID:
    case CqzMessageRefresh::DataChangedTypeID:
        m_imp->engine.Refresh();
        break;
    case CqzMessageRun::TypeID:
        if (auto* run = dynamic_cast<CqzMessageRun*>(message))
        {
            if (run->GetValidateLabels())
                m_imp->model.Validate();
            if (m_imp->model.IsEnabled() && GetData() != nullptr)
                m_imp->engine.Prepare(*GetData());
            else
                m_imp->engine.Discard();
        }
        break;
    case CqzMessageDestroyPlugIn::TypeID:
        if (dynamic_cast<CqzMessageDestroyPlugIn*>(message))
            m_imp->engine.ForgetData();
        break;
    case CqzMessageLoad::TypeID:
        if (auto* load = dynamic_cast<CqzMessageLoad*>(message))
            Load(load->GetPersistenceSetup());
        break;
    case CqzMessageSave::TypeID:
        if (auto* save = dynamic_cast<CqzMessageSave*>(message))
            Save(save->GetPersistenceSetup());
        break;
    case CqzMessagePlugInDependsOn::TypeID:
        if (auto* depends = dynamic_cast<CqzMessagePlugInDependsOn*>(message))
            m_imp->model.AddDependencies(*depends);
        break;
    case CqzMessageDeleteConnection::TypeID:
        if (auto* deleted = dynamic_cast<CqzMessageDeleteConnection*>(message))
            m_imp->model.RemoveLabels(*deleted);
        break;
    default:
        break;
    }
}

void CqzFilter::SetData(CqzData* data)
{
    CqzPlugInBase::SetData(data);
}

bool CqzFilter::IsEnabled() const
{
    return m_imp->model.IsEnabled();
}

bool CqzFilter::DoCommands(CqzXMLParser& xml)
{
    CqzXMLParserSavePos keep(&xml);
    const CString& filter = CqzFilterIdentifiers::Filter();
    if (xml.FindNextChild(filter))
        xml.Descend();
    if (xml.GetTag() != filter)
        return true;
    return m_imp->model.DoCommands(xml);
}

bool CqzFilter::QueryCommand(const CString& command, CqzXMLParser& xml)
{
    CqzXMLParserSavePos keep(&xml);
    return m_imp->model.QueryCommand(command, xml);
}

bool CqzFilter::ExecuteQuery(const CString& command, CString& reply)
{
    reply.Empty();
    if (command != L"GetAllSetup" && command != L"GetSetup")
        return false;
    CqzXMLParser xml;
    const bool answered = QueryCommand(command, xml);
    if (answered)
        reply = xml.GetDocument();
    return answered;
}

const CString& CqzFilter::GetBaseIFaceName() const
{
    return CqzFilterIdentifiers::StandardToolCommandIFace();
}

const CString& CqzFilter::GetIFaceName() const
{
    return CqzFilterIdentifiers::StandardAnalysisToolCommandIFace();
}

int CqzFilter::GetAnalysisToolVersion() const
{
    return ToolVersion;
}

const CString& CqzFilter::GetTypeName() const
{
    return CqzFilterIdentifiers::FilterColorizeAnalysisTool();
}

CqzFilterModel& CqzFilter::GetFilterModel()
{
    return m_imp->model;
}

std::vector<CqzUICmdBase*> CqzFilter::GetUICmds(int kind)
{
    if (kind != CqzUICmdBase::TypeID)
        return {};
    return {m_imp->editorCommand.get()};
}

void CqzFilter::EditProperties()
{
    CqzFavoritesMgr::Instance().Changed(m_imp->favorites, {});
    CqzFilterDlg dialog(this, nullptr);
    if (dialog.DoModal() == IDOK)
        ApplySetup(dialog.GetFilterModel());
}

void CqzFilter::ApplySetup(const CqzFilterModel& model)
{
    m_imp->model = model;
    if (!m_imp->appliedSetup)
        m_imp->appliedSetup = std::make_unique<CqzFilterModel>(GetInstanceID());
    *m_imp->appliedSetup = m_imp->model;
    Run();
}

bool CqzFilter::HasAppliedSetup() const
{
    return m_imp->appliedSetup != nullptr;
}

CqzFavorites& CqzFilter::GetFavorites()
{
    return m_imp->favorites;
}

bool CqzFilter::StoreFavorite(CqzFilterModel& model, int slot)
{
    std::vector<std::uint8_t> buffer;
    CqzPersistenceSetup setup(buffer, eqzPersistWrite);
    model.Save(&setup);
    setup.Close();
    SqzFavoritesChange change{m_imp->favorites.GetFavorite(slot), buffer, {}};
    if (m_imp->favorites.StoreFavorite(buffer, slot) < 0)
        return false;
    CqzFavoritesMgr::Instance().Changed(m_imp->favorites, change);
    return true;
}

bool CqzFilter::RecallFavorite(int slot, CqzFilterModel& model)
{
    if (slot == -1)
    {
        if (!m_imp->appliedSetup)
            return false;
        model = *m_imp->appliedSetup;
        return true;
    }
    std::vector<std::uint8_t> buffer;
    if (!m_imp->favorites.RecallFavorite(slot, buffer))
        return false;
    CqzPersistenceSetup setup(buffer, eqzPersistRead);
    model.Load(&setup);
    return true;
}

CString CqzFilter::GetFavoriteName(int slot)
{
    std::vector<std::uint8_t> buffer = m_imp->favorites.GetFavorite(slot);
    if (buffer.empty())
        return L"empty";
    CqzPersistenceSetup setup(buffer, eqzPersistRead);
    return CqzFilterModel::ReadName(&setup);
}

void CqzFilter::ClearAllFavorites()
{
    std::vector<int> all(static_cast<std::size_t>(m_imp->favorites.GetCount()));
    std::iota(all.begin(), all.end(), 0);
    ClearFavorites(all);
}

void CqzFilter::ClearFavorites(const std::vector<int>& slots)
{
    SqzFavoritesChange change;
    for (int slot : std::set<int>(slots.begin(), slots.end()))
        if (slot >= 0 && slot < m_imp->favorites.GetCount())
            change.removed.push_back(m_imp->favorites.GetFavorite(slot));
    m_imp->favorites.Clear(slots);
    CqzFavoritesMgr::Instance().Changed(m_imp->favorites, change);
}

// Opens the tool's "Filter" tag around a step, closing it also when the step throws.
template <typename Step> void CqzFilter::InFilterTag(CqzPersistenceSetup* setup, Step step)
{
    const bool opened = setup->OpenTag(CqzFilterIdentifiers::Filter(), false);
    try
    {
        step();
    }
    catch (...)
    {
        if (opened)
            setup->CloseTag(false);
        throw;
    }
    if (opened)
        setup->CloseTag(false);
}

void CqzFilter::Load(CqzPersistenceSetup* setup)
{
    InFilterTag(setup,
                [&]
                {
                    m_imp->model.Load(setup);
                    m_imp->favorites.Load(setup);
                });
}

void CqzFilter::Save(CqzPersistenceSetup* setup)
{
    InFilterTag(setup,
                [&]
                {
                    m_imp->model.Save(setup);
                    m_imp->favorites.Save(setup);
                });
}
