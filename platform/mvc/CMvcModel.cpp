#include "mvc/CMvcModel.h"

#include "mvc/IObserver.h"

#include <algorithm>

namespace foundation
{

void CMvcModel::AddObserver(IObserver* observer)
{
    if (observer != nullptr && !HasObserver(observer))
        m_observers.push_back(observer);
}

void CMvcModel::RemoveObserver(IObserver* observer)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                      m_observers.end());
}

bool CMvcModel::HasObserver(const IObserver* observer) const
{
    return std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end();
}

void CMvcModel::UpdateAllObservers(IObserver* except, IMessage* message)
{
    // An observer may add or remove observers while it is notified: walk a snapshot and skip
    // those that were removed in the meantime.
    const std::vector<IObserver*> snapshot = m_observers;
    for (IObserver* observer : snapshot)
        if (observer != except && HasObserver(observer))
            observer->OnUpdate(this, message);
}

} // namespace foundation
