#pragma once
// Delivers the events that plug-ins report (GraphEventNotify) to whoever subscribed: the host
// application, or a test.

#include <functional>
#include <map>

class CqzEventMessageBase;

class CqzEventMgr
{
public:
    using Subscriber = std::function<void(const CqzEventMessageBase&)>;

    static CqzEventMgr& Instance();

    // Returns a token for Unsubscribe.
    int Subscribe(Subscriber subscriber);
    void Unsubscribe(int token);
    // Hands the event to every subscriber, in the order they subscribed.
    void GraphEventNotify(CqzEventMessageBase* message);
    void Reset();

private:
    CqzEventMgr() = default;
    std::map<int, Subscriber> m_subscribers;
    int m_nextToken = 1;
};
