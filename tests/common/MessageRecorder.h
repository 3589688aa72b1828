#pragma once
// Test observer that records the type ids of the messages it receives, and a subscriber that
// records host events.

#include "mvc/IMessage.h"
#include "mvc/IObserver.h"
#include "qzSystem/managers/CqzEventMgr.h"
#include "qzSystem/messages/CqzEventMessagePlugInEnabled.h"

#include <vector>

class MessageRecorder : public foundation::IObserver
{
public:
    void OnUpdate(foundation::ISubject*, foundation::IMessage* message) override
    {
        ids.push_back(message->GetTypeID());
    }
    int Count(unsigned int id) const
    {
        int n = 0;
        for (unsigned int x : ids)
            n += x == id;
        return n;
    }
    std::vector<unsigned int> ids;
};

class EventRecorder
{
public:
    struct Event
    {
        unsigned int type;
        CqzID instance;
    };
    EventRecorder()
    {
        m_token = CqzEventMgr::Instance().Subscribe([this](const CqzEventMessageBase& e) {
            CqzID id;
            if (auto* on = dynamic_cast<const CqzEventMessagePlugInEnabled*>(&e))
                id = on->GetInstanceID();
            if (auto* off = dynamic_cast<const CqzEventMessagePlugInDisabled*>(&e))
                id = off->GetInstanceID();
            events.push_back({e.GetTypeID(), id});
        });
    }
    ~EventRecorder() { CqzEventMgr::Instance().Unsubscribe(m_token); }
    std::vector<Event> events;

private:
    int m_token;
};
