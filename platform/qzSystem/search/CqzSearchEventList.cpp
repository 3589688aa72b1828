#include "qzSystem/search/CqzSearchEventList.h"

#include "qzSystem/managers/CqzSystemMgr.h"
#include "qzSystem/search/CqzSearchEventBracket.h"
#include "qzSystem/search/CqzSearchEventListMessage.h"
#include "qzSystem/search/CqzSearchEventListView.h"
#include "qzSystem/search/CqzSearchExpressionGroup.h"

#include <atomic>
#include <utility>

namespace
{

std::atomic<std::uint64_t> visits{0};

void Visited(std::size_t count)
{
    visits.fetch_add(count, std::memory_order_relaxed);
}

CqzSearchEventLabel* AsEvent(const std::unique_ptr<CqzSearchComponentModel>& item)
{
    return dynamic_cast<CqzSearchEventLabel*>(item.get());
}
bool IsConj(const std::unique_ptr<CqzSearchComponentModel>& item)
{
    return dynamic_cast<CqzSearchEventConj*>(item.get()) != nullptr;
}
// 1 opening, -1 closing, 0 not a bracket.
int BracketOf(const std::unique_ptr<CqzSearchComponentModel>& item)
{
    auto* b = dynamic_cast<CqzSearchEventBracket*>(item.get());
    return b == nullptr ? 0 : b->IsOpening() ? 1 : -1;
}

} // namespace

CqzSearchEventList::CqzSearchEventList(const CqzSearchEventList& other)
    : CqzMvcModel(other), CqzDefObserver(other)
{
    *this = other;
}

CqzSearchEventList& CqzSearchEventList::operator=(const CqzSearchEventList& other)
{
    if (this == &other)
        return *this;
    m_view.reset();
    Clear();
    for (const auto& item : other.m_items)
        Append(std::unique_ptr<CqzSearchComponentModel>(item->Clone()));
    return *this;
}

CqzSearchEventList::CqzSearchEventList() = default;

CqzSearchEventList::~CqzSearchEventList()
{
    m_view.reset();
    Clear();
}

void CqzSearchEventList::Send(unsigned int type)
{
    CqzSearchEventListMessage message(static_cast<EqzSearchMessage>(type));
    UpdateAllObservers(nullptr, &message);
}

void CqzSearchEventList::Append(std::unique_ptr<CqzSearchComponentModel> item)
{
    // An event at the end extends an event order that is up to date.
    const bool current = !m_eventsStale;
    auto* event = AsEvent(item);
    InsertAt(m_items.size(), std::move(item));
    if (event != nullptr && current)
    {
        m_events.push_back(event);
        m_eventsStale = false;
    }
}

void CqzSearchEventList::InsertAt(std::size_t position,
                                  std::unique_ptr<CqzSearchComponentModel> item)
{
    if (auto* event = AsEvent(item))
    {
        event->GetEventLabel()->AddObserver(this);
        // A new event changes the event order: rebuilt on the next question.
        m_eventsStale = true;
    }
    m_byID.emplace(item->GetID(), item.get());
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(position), std::move(item));
}

void CqzSearchEventList::EraseAt(std::size_t position)
{
    CqzSearchComponentModel* item = m_items[position].get();
    if (auto* event = AsEvent(m_items[position]))
    {
        event->GetEventLabel()->RemoveObserver(this);
        m_eventsStale = true;
    }
    if (auto it = m_byID.find(item->GetID()); it != m_byID.end() && it->second == item)
        m_byID.erase(it);
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(position));
}

const std::vector<CqzSearchEventLabel*>& CqzSearchEventList::Events() const
{
    if (m_eventsStale)
    {
        Visited(m_items.size());
        m_events.clear();
        for (const auto& item : m_items)
            if (auto* event = AsEvent(item))
                m_events.push_back(event);
        m_eventsStale = false;
    }
    return m_events;
}

CqzSearchEventLabel* CqzSearchEventList::AddEvent(const CqzPatternModel& pattern)
{
    auto event = std::make_unique<CqzSearchEventLabel>(pattern);
    CqzSearchEventLabel* raw = event.get();
    Append(std::move(event));
    Send(eqzSearchEventAdded);
    return raw;
}

CqzSearchEventConj* CqzSearchEventList::AddConj(EqzSearchEventConjType type)
{
    auto conj = std::make_unique<CqzSearchEventConj>(type);
    CqzSearchEventConj* raw = conj.get();
    Append(std::move(conj));
    Send(eqzSearchConjChanged);
    return raw;
}

void CqzSearchEventList::AddBracket(bool opening)
{
    Append(std::make_unique<CqzSearchEventBracket>(opening));
    Send(eqzSearchEventChanged);
}

void CqzSearchEventList::Clear()
{
    while (!m_items.empty())
        EraseAt(m_items.size() - 1);
}

void CqzSearchEventList::Default(const CqzID& instanceID)
{
    Clear();
    // Without any available label the event names an unknown label; label validation drops it.
    CqzPatternModel pattern(
        CqzLabelChannel(CqzSystemMgr::Instance().GetFirstAvailableLabel(instanceID), -1));
    AddEvent(pattern);
}

int CqzSearchEventList::GetEventCount() const
{
    return static_cast<int>(Events().size());
}

CqzSearchEventLabel* CqzSearchEventList::GetEvent(int index) const
{
    const std::vector<CqzSearchEventLabel*>& events = Events();
    if (index < 0 || static_cast<std::size_t>(index) >= events.size())
        return nullptr;
    return events[static_cast<std::size_t>(index)];
}

bool CqzSearchEventList::RemoveEvent(int index, bool notify, bool wellFormed)
{
    CqzSearchEventLabel* event = GetEvent(index);
    if (event == nullptr)
        return false;
    std::size_t position = 0;
    while (m_items[position].get() != event)
        ++position;
    Visited(position);
    EraseAt(position);
    if (wellFormed)
    {
        // Join the neighbours: drop the conjunction before the event, else the one after it.
        if (position > 0 && IsConj(m_items[position - 1]))
            EraseAt(position - 1);
        else if (position < m_items.size() && IsConj(m_items[position]))
            EraseAt(position);
        while (TidyOnce())
        {
        }
    }
    if (notify)
        Send(eqzSearchEventRemoved);
    return true;
}

// Removes one defect left by a removal: an empty bracket pair, a conjunction at the start or
// end of the expression or of a group, or a conjunction right after another. False when none.
bool CqzSearchEventList::TidyOnce()
{
    Visited(m_items.size());
    for (std::size_t i = 0; i < m_items.size(); ++i)
    {
        const bool atStart = i == 0 || BracketOf(m_items[i - 1]) == 1;
        const bool atEnd = i + 1 == m_items.size() || BracketOf(m_items[i + 1]) == -1;
        if (BracketOf(m_items[i]) == 1 && i + 1 < m_items.size() && BracketOf(m_items[i + 1]) == -1)
        {
            EraseAt(i + 1);
            EraseAt(i);
            return true;
        }
        if (IsConj(m_items[i]) && (atStart || atEnd || IsConj(m_items[i + 1])))
        {
            EraseAt(i);
            return true;
        }
    }
    return false;
}

int CqzSearchEventList::RemoveEvents(const std::function<bool(const CqzSearchEventLabel&)>& doomed,
                                     bool notify)
{
    Visited(m_items.size());
    std::vector<std::unique_ptr<CqzSearchComponentModel>> kept;
    int removed = 0;
    bool dropNextConj = false;
    for (auto& item : m_items)
    {
        CqzSearchEventLabel* event = AsEvent(item);
        if (event != nullptr && doomed(*event))
        {
            // Join the neighbours: the conjunction before the event goes, else the one after.
            if (!kept.empty() && IsConj(kept.back()))
                kept.pop_back();
            else
                dropNextConj = true;
            event->GetEventLabel()->RemoveObserver(this);
            ++removed;
            continue;
        }
        if (std::exchange(dropNextConj, false) && IsConj(item))
            continue;
        kept.push_back(std::move(item));
    }
    if (removed == 0)
    {
        m_items = std::move(kept);
        return 0;
    }
    m_items = std::move(kept);
    Tidy();
    m_byID.clear();
    for (const auto& item : m_items)
        m_byID.emplace(item->GetID(), item.get());
    m_eventsStale = true;
    for (int i = 0; notify && i < removed; ++i)
        Send(eqzSearchEventRemoved);
    return removed;
}

// What repeating TidyOnce until nothing is left to do gives, in one pass: empty bracket pairs
// go, a conjunction at the start or end of the expression or of a group goes, and of two
// conjunctions in a row the later one stays.
void CqzSearchEventList::Tidy()
{
    Visited(m_items.size());
    std::vector<std::unique_ptr<CqzSearchComponentModel>> out;
    for (auto& item : m_items)
    {
        if (IsConj(item))
        {
            if (out.empty() || BracketOf(out.back()) == 1)
                continue;
            if (IsConj(out.back()))
                out.pop_back();
        }
        else if (BracketOf(item) == -1)
        {
            while (!out.empty() && IsConj(out.back()))
                out.pop_back();
            if (!out.empty() && BracketOf(out.back()) == 1)
            {
                out.pop_back();
                continue;
            }
        }
        out.push_back(std::move(item));
    }
    while (!out.empty() && IsConj(out.back()))
        out.pop_back();
    m_items = std::move(out);
}

void CqzSearchEventList::SetConjType(CqzSearchEventConj* conj, EqzSearchEventConjType type)
{
    if (conj == nullptr || conj->GetType() == type)
        return;
    conj->SetType(type);
    Send(eqzSearchConjChanged);
}

CqzSearchComponentModel* CqzSearchEventList::GetComponentAt(int position) const
{
    if (position < 0 || position >= GetComponentCount())
        return nullptr;
    return m_items[static_cast<std::size_t>(position)].get();
}

CqzSearchComponentModel* CqzSearchEventList::GetComponent(const CqzID& id) const
{
    if (auto it = m_byID.find(id); it != m_byID.end() && it->second->GetID() == id)
        return it->second;
    // A component whose identifier changed after it was added.
    Visited(m_items.size());
    for (const auto& item : m_items)
        if (item->GetID() == id)
            return item.get();
    return nullptr;
}

std::list<std::shared_ptr<CqzSearchExpressionNode>> CqzSearchEventList::GetExpression(bool) const
{
    std::list<std::shared_ptr<CqzSearchExpressionNode>> tokens;
    for (const auto& item : m_items)
    {
        if (int bracket = BracketOf(item))
            tokens.push_back(
                std::make_shared<CqzSearchExpressionGroup>(item->GetID(), bracket == 1));
        else
            tokens.push_back(std::make_shared<CqzSearchExpressionNode>(
                item->GetID(), IsConj(item) ? eqzExpressionConj : eqzExpressionEventLabel));
    }
    return tokens;
}

bool CqzSearchEventList::IsWellFormed() const
{
    int depth = 0;
    bool expectOperand = true;
    for (const auto& item : m_items)
    {
        const int bracket = BracketOf(item);
        if (bracket == 1)
        {
            if (!expectOperand)
                return false;
            ++depth;
        }
        else if (bracket == -1)
        {
            if (expectOperand || --depth < 0)
                return false;
        }
        else if (IsConj(item))
        {
            if (expectOperand)
                return false;
            expectOperand = true;
        }
        else
        {
            if (!expectOperand)
                return false;
            expectOperand = false;
        }
    }
    return depth == 0 && !expectOperand;
}

void CqzSearchEventList::OnUpdate(foundation::ISubject*, foundation::IMessage* message)
{
    // Pattern changes of the list's own events are passed on unchanged.
    UpdateAllObservers(nullptr, message);
}

std::uint64_t CqzSearchEventList::GetVisitCount()
{
    return visits.load(std::memory_order_relaxed);
}

int CqzSearchEventList::PositionOf(int event) const
{
    const CqzSearchEventLabel* wanted = GetEvent(event);
    for (std::size_t i = 0; wanted != nullptr && i < m_items.size(); ++i)
        if (m_items[i].get() == wanted)
            return static_cast<int>(i);
    return -1;
}

CqzSearchEventLabel* CqzSearchEventList::InsertEvent(int after, const CqzPatternModel& pattern,
                                                     EqzSearchEventConjType type)
{
    auto event = std::make_unique<CqzSearchEventLabel>(pattern);
    CqzSearchEventLabel* raw = event.get();
    auto conj = std::make_unique<CqzSearchEventConj>(type);
    const int position = PositionOf(after);
    if (position >= 0)
    {
        const auto at = static_cast<std::size_t>(position) + 1;
        InsertAt(at, std::move(conj));
        InsertAt(at + 1, std::move(event));
    }
    else
    {
        // Before the first event, or the first event of an empty expression.
        const bool alone = GetEventCount() == 0;
        std::size_t at = 0;
        while (at < m_items.size() && BracketOf(m_items[at]) == 1)
            ++at;
        InsertAt(at, std::move(event));
        if (!alone)
            InsertAt(at + 1, std::move(conj));
    }
    Send(eqzSearchEventAdded);
    return raw;
}

int CqzSearchEventList::GetDepth(int event) const
{
    const int position = PositionOf(event);
    int depth = 0;
    for (int i = 0; i < position; ++i)
        depth += BracketOf(m_items[static_cast<std::size_t>(i)]);
    return position < 0 ? 0 : depth;
}

int CqzSearchEventList::GetOpeningBracketsBefore(int event) const
{
    int count = 0;
    for (int i = PositionOf(event) - 1;
         i >= 0 && BracketOf(m_items[static_cast<std::size_t>(i)]) == 1; --i)
        ++count;
    return count;
}

int CqzSearchEventList::GetClosingBracketsAfter(int event) const
{
    const int position = PositionOf(event);
    int count = 0;
    for (std::size_t i = static_cast<std::size_t>(position + 1);
         position >= 0 && i < m_items.size() && BracketOf(m_items[i]) == -1; ++i)
        ++count;
    return count;
}

CqzSearchEventConj* CqzSearchEventList::GetConjAfter(int event) const
{
    const int position = PositionOf(event);
    if (position < 0)
        return nullptr;
    std::size_t i = static_cast<std::size_t>(position) + 1;
    while (i < m_items.size() && BracketOf(m_items[i]) == -1)
        ++i;
    return i < m_items.size() ? dynamic_cast<CqzSearchEventConj*>(m_items[i].get()) : nullptr;
}

bool CqzSearchEventList::AddBrackets(int first, int last)
{
    const int from = PositionOf(first);
    const int to = PositionOf(last);
    if (from < 0 || to < from)
        return false;
    // Both events must sit in the same group: the depth never drops below the first event's
    // on the way, and ends where it started.
    int depth = 0;
    for (int i = from; i <= to; ++i)
    {
        depth += BracketOf(m_items[static_cast<std::size_t>(i)]);
        if (depth < 0)
            return false;
    }
    if (depth != 0)
        return false;
    InsertAt(static_cast<std::size_t>(to) + 1, std::make_unique<CqzSearchEventBracket>(false));
    InsertAt(static_cast<std::size_t>(from), std::make_unique<CqzSearchEventBracket>(true));
    Send(eqzSearchEventChanged);
    return true;
}

bool CqzSearchEventList::RemoveBrackets(int event)
{
    const int position = PositionOf(event);
    if (position < 0)
        return false;
    int open = -1;
    for (int i = position - 1, depth = 0; i >= 0 && open < 0; --i)
    {
        depth += BracketOf(m_items[static_cast<std::size_t>(i)]);
        if (depth == 1)
            open = i;
    }
    if (open < 0)
        return false;
    int close = -1;
    for (int i = open + 1, depth = 1; i < GetComponentCount() && close < 0; ++i)
    {
        depth += BracketOf(m_items[static_cast<std::size_t>(i)]);
        if (depth == 0)
            close = i;
    }
    if (close < 0)
        return false;
    EraseAt(static_cast<std::size_t>(close));
    EraseAt(static_cast<std::size_t>(open));
    Send(eqzSearchEventChanged);
    return true;
}

void CqzSearchEventList::CreateView(CqzSearchCreateViewParameters& parameters)
{
    if (!m_view)
        m_view = std::make_unique<CqzSearchEventListView>(this);
    m_view->Layout(parameters);
}

void CqzSearchEventList::DestroyView()
{
    m_view.reset();
}

void CqzSearchEventList::GetWindows(std::vector<CWnd*>& windows) const
{
    if (m_view)
        m_view->GetWindows(windows);
}
