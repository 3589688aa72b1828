#pragma once
// Observer base that remembers the one model it is attached to (not owned).

#include "mvc/IObserver.h"

namespace foundation
{

class MvcDefObserver : public IObserver
{
public:
    void OnUpdate(ISubject*, IMessage*) override {}
    virtual void SetModel(ISubject* model) { m_model = model; }
    virtual ISubject* GetModel() const { return m_model; }

private:
    ISubject* m_model = nullptr;
};

} // namespace foundation
