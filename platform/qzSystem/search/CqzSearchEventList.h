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

class CqzSearchEventList : public CqzMvcModel, public CqzDefObserver
{
public:
    CqzSearchEventList() = default;
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
    void EraseAt(std::size_t position);
    bool TidyOnce();
    void Tidy();
    const std::vector<CqzSearchEventLabel*>& Events() const;

    std::vector<std::unique_ptr<CqzSearchComponentModel>> m_items;
    // Indexes of m_items: components by identifier, and the events in order (rebuilt after a
    // removal, on the next question about events).
    std::unordered_map<CqzID, CqzSearchComponentModel*> m_byID;
    mutable std::vector<CqzSearchEventLabel*> m_events;
    mutable bool m_eventsStale = false;
};
