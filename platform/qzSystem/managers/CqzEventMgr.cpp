#include "qzSystem/managers/CqzEventMgr.h"

#include "qzSystem/messages/CqzEventMessageBase.h"

CqzEventMgr& CqzEventMgr::Instance()
{
    static CqzEventMgr instance;
    return instance;
}

int CqzEventMgr::Subscribe(Subscriber subscriber)
{
    m_subscribers.emplace(m_nextToken, std::move(subscriber));
    return m_nextToken++;
}

void CqzEventMgr::Unsubscribe(int token) { m_subscribers.erase(token); }

void CqzEventMgr::GraphEventNotify(CqzEventMessageBase* message)
{
    if (message == nullptr)
        return;
    // A subscriber may unsubscribe while notified: walk a copy.
    const auto subscribers = m_subscribers;
    for (const auto& [token, subscriber] : subscribers)
        if (m_subscribers.count(token))
            subscriber(*message);
}

void CqzEventMgr::Reset() { m_subscribers.clear(); }
