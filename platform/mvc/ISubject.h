#pragma once
// Something observers can watch: it keeps a list of observers and broadcasts messages.

namespace foundation
{

class IMessage;
class IObserver;

class ISubject
{
public:
    virtual ~ISubject() = default;
    virtual void AddObserver(IObserver* observer) = 0;
    virtual void RemoveObserver(IObserver* observer) = 0;
    // Calls OnUpdate(this, message) on every observer except `except` (null: all), in the
    // order in which they were added.
    virtual void UpdateAllObservers(IObserver* except, IMessage* message) = 0;
};

} // namespace foundation
