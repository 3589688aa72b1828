#pragma once
// The components of one search expression in order: events on labels, AND/OR conjunctions and
// brackets. Owns its components, observes their patterns and tells its own observers about
// every change (messages 102, 103, 104, 114, 4306).

#include "qzSystem/mvc/CqzDefObserver.h"
#include "qzSystem/mvc/CqzMvcModel.h"
#include "qzSystem/search/CqzSearchEventConj.h"
#include "qzSystem/search/CqzSearchEventLabel.h"
#include "qzSystem/search/CqzSearchExpressionNode.h"

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

class CWnd;
class CqzSearchCreateViewParameters;
class CqzSearchEventListView;

class CqzSearchEventList : public CqzMvcModel, public CqzDefObserver
{
public:
    CqzSearchEventList();
    // Deep copy: the components keep their identifiers; observers are not copied.
    CqzSearchEventList(const CqzSearchEventList& other);
    CqzSearchEventList& operator=(const CqzSearchEventList& other);
    ~CqzSearchEventList() override;

    // Appending components (each sends its message).
    CqzSearchEventLabel* AddEvent(const CqzPatternModel& pattern);
    CqzSearchEventConj* AddConj(EqzSearchEventConjType type);
    void AddBracket(bool opening);
    // Removes every component without a message.
    void Clear();
    // Replaces the expression by one event on the first label available to the instance,
    // choice "=", value 0.
    void Default(const CqzID& instanceID);

    int GetEventCount() const;
    // The event with this index, events counted from 0 in list order; null when out of range.
    CqzSearchEventLabel* GetEvent(int index) const;
    // Removes the event; with `wellFormed` also a conjunction next to it and brackets left
    // empty, so the expression stays well formed. Sends 103 when `notify`.
    bool RemoveEvent(int index, bool notify, bool wellFormed);
    // Removes every event `doomed` answers true for, in one pass, leaving the expression as
    // RemoveEvent(index, notify, true) from the last such event to the first would. Sends 103
    // per removed event when `notify`. Answers the number removed.
    int RemoveEvents(const std::function<bool(const CqzSearchEventLabel&)>& doomed, bool notify);
    void SetConjType(CqzSearchEventConj* conj, EqzSearchEventConjType type);

    // Editing in place (each sends one message). InsertEvent puts the event right after event
    // `after` (-1: before the first event) joined by a conjunction of `type`; sends 102.
    CqzSearchEventLabel* InsertEvent(int after, const CqzPatternModel& pattern,
                                     EqzSearchEventConjType type);
    // Brackets round the events `first` to `last`, which must lie in the same group; sends 104.
    bool AddBrackets(int first, int last);
    // Removes the innermost bracket pair round the event; sends 104. False when there is none.
    bool RemoveBrackets(int event);
    // How many groups the event lies in.
    int GetDepth(int event) const;
    // The brackets opened right before the event and closed right after it.
    int GetOpeningBracketsBefore(int event) const;
    int GetClosingBracketsAfter(int event) const;
    // The conjunction that joins the event to the next operand, or null for the last.
    CqzSearchEventConj* GetConjAfter(int event) const;

    // The editor of the expression: creates its controls (or moves them) from the parameters'
    // position, row height and spacing, and leaves the position below its last row.
    void CreateView(CqzSearchCreateViewParameters& parameters);
    void DestroyView();
    bool HasView() const { return m_view != nullptr; }
    const CqzSearchEventListView* GetView() const { return m_view.get(); }
    // The editor's windows in Tab order.
    void GetWindows(std::vector<CWnd*>& windows) const;

    int GetComponentCount() const { return static_cast<int>(m_items.size()); }
    CqzSearchComponentModel* GetComponentAt(int position) const;
    CqzSearchComponentModel* GetComponent(const CqzID& id) const;
    // The tokens in order (the flag is accepted for the host's interface).
    std::list<std::shared_ptr<CqzSearchExpressionNode>> GetExpression(bool = true) const;
    // Operands and conjunctions alternate, brackets balance, and nothing is empty.
    bool IsWellFormed() const;

    void OnUpdate(foundation::ISubject* subject, foundation::IMessage* message) override;

    // Components looked at by the walks over lists (index rebuilds, removals, tidying) in this
    // process so far: an operation count that shows whether a caller's use of lists is linear.
    static std::uint64_t GetVisitCount();

private:
    void Send(unsigned int type);
    void Append(std::unique_ptr<CqzSearchComponentModel> item);
    void InsertAt(std::size_t position, std::unique_ptr<CqzSearchComponentModel> item);
    void EraseAt(std::size_t position);
    bool TidyOnce();
    void Tidy();
    const std::vector<CqzSearchEventLabel*>& Events() const;

    // The position of the event among the components; -1 when there is none.
    int PositionOf(int event) const;

    std::vector<std::unique_ptr<CqzSearchComponentModel>> m_items;
    // Indexes of m_items: components by identifier, and the events in order (rebuilt after a
    // removal, on the next question about events).
    std::unordered_map<CqzID, CqzSearchComponentModel*> m_byID;
    mutable std::vector<CqzSearchEventLabel*> m_events;
    mutable bool m_eventsStale = false;
    std::unique_ptr<CqzSearchEventListView> m_view;
};
