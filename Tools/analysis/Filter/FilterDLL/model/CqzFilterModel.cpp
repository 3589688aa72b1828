#include "model/CqzFilterModel.h"

#include "editor/CqzFilterModelView.h"

#include "model/CqzFilterMessages.h"
#include "qzSystem/managers/CqzEventMgr.h"
#include "qzSystem/managers/CqzLabelMgr.h"
#include "qzSystem/managers/CqzSystemMgr.h"
#include "qzSystem/messages/CqzEventMessagePlugInEnabled.h"
#include "qzSystem/messages/CqzMessageDeleteConnection.h"
#include "qzSystem/messages/CqzMessagePlugInDependsOn.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"
#include "qzSystem/xml/CqzXMLParserSavePos.h"

#include <algorithm>
#include <unordered_set>

namespace
{
const CString DefaultTermName(L"Your name goes here");

CString TermTagName(std::uint32_t index)
{
    CString name;
    name.Format(L"%s%d", L"FilterTerm", index);
    return name;
}

// The indices below `count` whose term tag exists under the current tag, in increasing order.
// A term whose tag is missing would load with an empty expression and be dropped by Validate,
// so skipping it changes nothing, and a corrupt count (say four billion) costs no more than the
// tags the setup really holds.
std::vector<std::uint32_t> TermTagIndices(const CqzPersistenceSetup& setup, std::uint32_t count)
{
    std::vector<std::uint32_t> indices;
    for (std::uint64_t number : setup.GetTagNumbers(L"FilterTerm"))
        if (number < count)
            indices.push_back(static_cast<std::uint32_t>(number));
    return indices;
}
} // namespace

struct CqzFilterModel::SqzImp
{
    explicit SqzImp(const CqzID& id) : instanceID(id) {}

    bool enabled = true;
    std::vector<SqzFilterTerm> terms;
    CqzBitSet singleBitOptions = CqzSearchModel::DefaultSingleBitOptions();
    CqzBitSet multiBitOptions = CqzSearchModel::DefaultMultiBitOptions();
    CString name;
    CqzID instanceID;
    std::unique_ptr<CqzFilterModelView> view;
};

CqzFilterModel::CqzFilterModel(const CqzID& instanceID)
    : m_imp(std::make_unique<SqzImp>(instanceID))
{
}

CqzFilterModel::CqzFilterModel(const CqzFilterModel& other)
    : CqzMvcModel(), CqzDefObserver(), m_imp(std::make_unique<SqzImp>(other.GetID()))
{
    *this = other;
}

CqzFilterModel& CqzFilterModel::operator=(const CqzFilterModel& other)
{
    if (this == &other)
        return *this;
    DeleteAllTerms();
    for (const SqzFilterTerm& source : other.m_imp->terms)
    {
        SqzFilterTerm term;
        term.search = std::make_unique<CqzSearchModel>(*source.search);
        term.action.reset(static_cast<CqzFilterAction*>(source.action->Clone()));
        term.name = source.name;
        term.showName = source.showName;
        Observe(term);
        m_imp->terms.push_back(std::move(term));
    }
    SetEnabled(other.m_imp->enabled);
    m_imp->name = other.m_imp->name;
    m_imp->instanceID = other.m_imp->instanceID;
    return *this;
}

CqzFilterModel::~CqzFilterModel()
{
    DeleteAllTerms();
}

void CqzFilterModel::AddObserver(foundation::IObserver* observer)
{
    CqzMvcModel::AddObserver(observer);
    if (observer != nullptr)
    {
        CqzFilterModelAttachedMessage message;
        observer->OnUpdate(this, &message);
    }
}

void CqzFilterModel::OnUpdate(foundation::ISubject*, foundation::IMessage* message)
{
    UpdateAllObservers(nullptr, message);
}

void CqzFilterModel::Send(foundation::IMessage& message)
{
    UpdateAllObservers(nullptr, &message);
}

void CqzFilterModel::Observe(SqzFilterTerm& term)
{
    term.search->GetIfClause().GetEventList()->AddObserver(this);
    term.action->AddObserver(this);
}

void CqzFilterModel::Unobserve(SqzFilterTerm& term)
{
    term.search->GetIfClause().GetEventList()->RemoveObserver(this);
    term.action->RemoveObserver(this);
}

void CqzFilterModel::DeleteAllTerms()
{
    m_imp->view.reset();
    for (SqzFilterTerm& term : m_imp->terms)
        Unobserve(term);
    m_imp->terms.clear();
}

bool CqzFilterModel::AttachView(CqzSearchCreateViewParameters& parameters)
{
    if (m_imp->view)
        return m_imp->view->PlaceControls(parameters);
    m_imp->view = std::make_unique<CqzFilterModelView>();
    m_imp->view->SetModel(this);
    return m_imp->view->CreateControls(parameters);
}

void CqzFilterModel::UpdateView(std::vector<CWnd*>& windows)
{
    if (m_imp->view)
        m_imp->view->GetWindows(windows);
}

CqzFilterModelView* CqzFilterModel::GetView() const
{
    return m_imp->view.get();
}

SqzFilterTerm* CqzFilterModel::TermAt(int index) const
{
    if (index < 0 || index >= GetSize())
        return nullptr;
    return &m_imp->terms[static_cast<std::size_t>(index)];
}

int CqzFilterModel::GetSize() const
{
    return static_cast<int>(m_imp->terms.size());
}

const std::vector<SqzFilterTerm>& CqzFilterModel::GetTerms() const
{
    return m_imp->terms;
}

bool CqzFilterModel::MakeTerm(SqzFilterTerm& term, const CqzSearchModel* search,
                              const CqzSearchComponentModel* action)
{
    if (action == nullptr)
        term.action = std::make_unique<CqzFilterAction>();
    else
    {
        std::unique_ptr<CqzSearchComponentModel> clone(action->Clone());
        if (dynamic_cast<CqzFilterAction*>(clone.get()) != nullptr)
            term.action.reset(static_cast<CqzFilterAction*>(clone.release()));
    }
    if (search == nullptr)
    {
        term.search =
            std::make_unique<CqzSearchModel>(m_imp->singleBitOptions, m_imp->multiBitOptions);
        term.search->GetIfClause().GetEventList()->Default(m_imp->instanceID);
    }
    else
        term.search = std::make_unique<CqzSearchModel>(*search);
    return term.search != nullptr && term.action != nullptr;
}

void CqzFilterModel::InsertAt(std::size_t position, const CqzSearchModel* search,
                              const CqzSearchComponentModel* action)
{
    SqzFilterTerm term;
    if (!MakeTerm(term, search, action))
        return;
    auto it = m_imp->terms.insert(m_imp->terms.begin() + static_cast<std::ptrdiff_t>(position),
                                  std::move(term));
    Observe(*it);
    it->showName = false;
    it->name = DefaultTermName;
    CqzFilterInsertedMessage message;
    Send(message);
}

void CqzFilterModel::InsertAfter(const CqzSearchModel* search,
                                 const CqzSearchComponentModel* action, int index)
{
    if (index < -1)
        return;
    if (index == -1 || index + 1 >= GetSize())
        InsertAt(m_imp->terms.size(), search, action);
    else
        InsertAt(static_cast<std::size_t>(index) + 1, search, action);
}

void CqzFilterModel::InsertBefore(const CqzSearchModel* search,
                                  const CqzSearchComponentModel* action, int index)
{
    if (index != 0 && (index < 1 || index >= GetSize()))
        return;
    InsertAt(static_cast<std::size_t>(index), search, action);
}

bool CqzFilterModel::Remove(int index, bool allowLast)
{
    if (GetSize() < 2 && !(GetSize() == 1 && allowLast))
        return false;
    SqzFilterTerm* term = TermAt(index);
    if (term == nullptr)
        return false;
    Unobserve(*term);
    m_imp->terms.erase(m_imp->terms.begin() + index);
    CqzFilterRemovedMessage message;
    Send(message);
    return true;
}

void CqzFilterModel::Reset()
{
    DeleteAllTerms();
    InsertAfter(nullptr, nullptr, -1);
}

int CqzFilterModel::GetSearchModels(std::vector<CqzSearchModel*>& models) const
{
    for (const SqzFilterTerm& term : m_imp->terms)
        models.push_back(term.search.get());
    return GetSize();
}

int CqzFilterModel::GetActions(std::vector<CqzFilterAction*>& actions) const
{
    for (const SqzFilterTerm& term : m_imp->terms)
        actions.push_back(term.action.get());
    return GetSize();
}

void CqzFilterModel::SetFilterName(int index, const CString& name)
{
    if (SqzFilterTerm* term = TermAt(index))
    {
        term->name = name;
        CqzFilterNameChangedMessage message;
        Send(message);
    }
}

const CString& CqzFilterModel::GetFilterName(int index) const
{
    const SqzFilterTerm* term = TermAt(index);
    return term != nullptr ? term->name : DefaultTermName;
}

void CqzFilterModel::SetShowFilterName(int index, bool show)
{
    if (SqzFilterTerm* term = TermAt(index))
    {
        term->showName = show;
        CqzFilterShowNameChangedMessage message;
        Send(message);
    }
}

bool CqzFilterModel::GetShowFilterName(int index) const
{
    const SqzFilterTerm* term = TermAt(index);
    return term != nullptr && term->showName;
}

void CqzFilterModel::SetFilterEnabled(int index, bool enable)
{
    if (SqzFilterTerm* term = TermAt(index))
    {
        term->search->SetEnabled(enable);
        SetShowFilterName(index, true);
    }
}

void CqzFilterModel::SetEnabled(bool enabled)
{
    if (enabled == m_imp->enabled)
        return;
    m_imp->enabled = enabled;
    if (enabled)
    {
        CqzEventMessagePlugInEnabled event(m_imp->instanceID);
        CqzEventMgr::Instance().GraphEventNotify(&event);
    }
    else
    {
        CqzEventMessagePlugInDisabled event(m_imp->instanceID);
        CqzEventMgr::Instance().GraphEventNotify(&event);
    }
}

bool CqzFilterModel::IsEnabled() const
{
    return m_imp->enabled;
}

void CqzFilterModel::SetName(const CString& name)
{
    m_imp->name = name;
}

const CString& CqzFilterModel::GetName() const
{
    return m_imp->name;
}

const CqzID& CqzFilterModel::GetID() const
{
    return m_imp->instanceID;
}

// Removes, from every term, the events whose label identifier `drop` answers true for (as if
// one at a time from the highest index down), then deletes the terms left without events (no
// message) and, if none is left, resets the model to one default term. Linear in the setup.
template <typename Drop> void CqzFilterModel::DropEvents(Drop drop)
{
    for (SqzFilterTerm& term : m_imp->terms)
        term.search->GetIfClause().GetEventList()->RemoveEvents(
            [&drop](const CqzSearchEventLabel& event)
            { return drop(event.GetEventLabel()->GetLabelInfo().GetLabelID()); },
            true);
    std::vector<SqzFilterTerm> kept;
    kept.reserve(m_imp->terms.size());
    for (SqzFilterTerm& term : m_imp->terms)
    {
        if (term.search->GetIfClause().GetEventList()->GetEventCount() == 0)
            Unobserve(term);
        else
            kept.push_back(std::move(term));
    }
    m_imp->terms = std::move(kept);
    if (m_imp->terms.empty())
        Reset();
}

void CqzFilterModel::Validate()
{
    DropEvents(
        [this](const CqzID& label)
        {
            return !CqzSystemMgr::Instance().IsLabelAvailable(
                m_imp->instanceID, CqzLabelChannel(label, -1), true, true);
        });
}

void CqzFilterModel::RemoveLabels(const CqzMessageDeleteConnection& message)
{
    const std::unordered_set<CqzID> gone(message.GetLabelIDs().begin(),
                                         message.GetLabelIDs().end());
    DropEvents([&gone](const CqzID& label) { return gone.contains(label); });
}

void CqzFilterModel::AddDependencies(CqzMessagePlugInDependsOn& message)
{
    for (const SqzFilterTerm& term : m_imp->terms)
    {
        const CqzSearchEventList* events = term.search->GetIfClause().GetEventList();
        for (int i = 0; i < events->GetEventCount(); ++i)
        {
            const CqzID& id = events->GetEvent(i)->GetEventLabel()->GetLabelInfo().GetLabelID();
            const CqzLabel* label = CqzLabelMgr::Instance().IDToLabel(id);
            if (label != nullptr && label->GetSourceID() == message.GetID())
                message.GetLabelStatusList().emplace_back(label->GetLabelID(), 0);
        }
    }
}

void CqzFilterModel::Save(CqzPersistenceSetup* setup) const
{
    const bool opened = setup->OpenTag(L"FilterModel", false);
    setup->Write(L"Name", m_imp->name);
    setup->Write(L"Enabled", m_imp->enabled);
    setup->Write(L"NumberOfFilterTerms", static_cast<std::uint32_t>(m_imp->terms.size()));
    setup->OpenTag(L"FilterTerms");
    for (std::size_t i = 0; i < m_imp->terms.size(); ++i)
    {
        const SqzFilterTerm& term = m_imp->terms[i];
        const bool termOpened = setup->OpenTag(TermTagName(static_cast<std::uint32_t>(i)), false);
        setup->Write(L"FilterName", term.name);
        setup->Write(L"ShowFilterName", term.showName);
        term.search->Save(setup);
        term.action->Save(setup);
        if (termOpened)
            setup->CloseTag(false);
    }
    setup->CloseTag();
    if (opened)
        setup->CloseTag(false);
}

void CqzFilterModel::LoadTerm(CqzPersistenceSetup* setup, std::uint32_t index)
{
    SqzFilterTerm term;
    const bool opened = setup->OpenTag(TermTagName(index), false);
    setup->Read(L"FilterName", term.name);
    setup->Read(L"ShowFilterName", term.showName);
    term.search = std::make_unique<CqzSearchModel>();
    term.search->Load(setup);
    term.action = std::make_unique<CqzFilterAction>();
    term.action->Load(setup);
    Observe(term);
    m_imp->terms.push_back(std::move(term));
    if (opened)
        setup->CloseTag(false);
}

void CqzFilterModel::Load(CqzPersistenceSetup* setup)
{
    const bool opened = setup->OpenTag(L"FilterModel", false);
    DeleteAllTerms();
    setup->Read(L"Name", m_imp->name);
    bool enabled = m_imp->enabled;
    setup->Read(L"Enabled", enabled);
    SetEnabled(enabled);
    std::uint32_t count = 0;
    setup->Read(L"NumberOfFilterTerms", count);
    setup->OpenTag(L"FilterTerms");
    for (std::uint32_t index : TermTagIndices(*setup, count))
        LoadTerm(setup, index);
    Validate();
    setup->CloseTag();
    if (opened)
        setup->CloseTag(false);
}

CString CqzFilterModel::ReadName(CqzPersistenceSetup* setup)
{
    CString name;
    if (setup->OpenTag(L"FilterModel", false))
    {
        setup->Read(L"Name", name);
        setup->CloseTag(false);
    }
    return name;
}

bool CqzFilterModel::QueryCommand(const CString& command, CqzXMLParser& xml) const
{
    CqzXMLParserSavePos keep(&xml);
    xml.Descend();
    if (!xml.AppendElement(L"Filter"))
        return true; // no place for a root element: nothing is written anywhere else
    xml.SetAttribute(L"Enabled", m_imp->enabled);
    for (const SqzFilterTerm& term : m_imp->terms)
    {
        xml.AppendChild(L"FilterExpression");
        xml.SetChildAttribute(L"Name", term.name);
        term.search->QueryCommand(command, xml);
        term.action->QueryCommand(command, xml);
    }
    xml.Ascend();
    return true;
}

// Reads the "FilterExpression" that is the parser's main element into a new term at the end.
// A term that cannot be read is discarded whole.
bool CqzFilterModel::ReadTerm(CqzXMLParser& xml)
{
    SqzFilterTerm term;
    term.name = xml.GetAttribute(L"Name");
    term.showName = true;
    term.search = std::make_unique<CqzSearchModel>();
    CqzSearchEventList* events = term.search->GetIfClause().GetEventList();
    events->Default(m_imp->instanceID);
    if (!term.search->DoCommands(xml))
        return false;
    events->AddObserver(this);
    term.action = std::make_unique<CqzFilterAction>();
    if (!term.action->DoCommands(xml))
    {
        events->RemoveObserver(this);
        return false;
    }
    term.action->AddObserver(this);
    m_imp->terms.push_back(std::move(term));
    return true;
}

bool CqzFilterModel::DoCommands(CqzXMLParser& xml)
{
    CqzXMLParserSavePos keep(&xml);
    DeleteAllTerms();
    SetEnabled(xml.GetAttribute(L"Enabled") == L"T");
    if (!xml.FindNextChild(L"FilterExpression"))
        return true;
    for (;;)
    {
        xml.Descend();
        if (!ReadTerm(xml))
            return false;
        xml.Ascend();
        if (!xml.FindNextChild(L"FilterExpression"))
            return true;
    }
}
