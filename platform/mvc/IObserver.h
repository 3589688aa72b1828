#pragma once
// Receives the messages of the subjects it was added to.

namespace foundation
{

class IMessage;
class ISubject;

class IObserver
{
public:
    virtual ~IObserver() = default;
    virtual void OnUpdate(ISubject* subject, IMessage* message) = 0;
};

} // namespace foundation
