#pragma once
// Base of every observable model: keeps its observers (not owned) in the order they were
// added and broadcasts messages to them synchronously.

#include "mvc/ISubject.h"

#include <vector>

namespace foundation
{

class CMvcModel : public ISubject
{
public:
    CMvcModel() = default;
    // A copy starts with no observers: observers watch one object, not its value.
    CMvcModel(const CMvcModel&) {}
    CMvcModel& operator=(const CMvcModel&) { return *this; }
    ~CMvcModel() override = default;

    // Adds an observer once; a null observer or one already added is ignored.
    void AddObserver(IObserver* observer) override;
    void RemoveObserver(IObserver* observer) override;
    void UpdateAllObservers(IObserver* except, IMessage* message) override;

    // Models are deleted by their owners, never by a count.
    virtual unsigned long AddRef() { return 1; }
    virtual unsigned long Release() { return 1; }

    int GetObserverCount() const { return static_cast<int>(m_observers.size()); }
    bool HasObserver(const IObserver* observer) const;

private:
    std::vector<IObserver*> m_observers;
};

} // namespace foundation
