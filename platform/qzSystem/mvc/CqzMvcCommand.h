#pragma once
// The host's command object: something that can be executed (and possibly undone) and copied.
// Commands are shared by reference count: AddRef adds a holder, Release drops one and deletes
// the command when none is left. A command made with new starts with no holders; whoever only
// owns it directly deletes it as usual.

#include "mfc/CString.h"
#include "win/Guid.h"

class CqzMvcCommand
{
public:
    CqzMvcCommand() = default;
    CqzMvcCommand(const CqzMvcCommand&) : m_refCount(0), m_undoable(0) {}
    CqzMvcCommand& operator=(const CqzMvcCommand&) = delete;
    virtual ~CqzMvcCommand() = default;

    // Whether the command offers the interface with that identifier; the host's commands
    // answer for none.
    virtual bool QueryGuid(const GUID& /*iid*/) const { return false; }
    virtual int GetTypeID() const = 0;
    // A readable description for logs and menus.
    virtual void Sprint(CString& text) const = 0;
    virtual int IsUndoable() const = 0;
    virtual int SetUndoable(int undoable) = 0;
    // 1 on success.
    virtual int Execute() = 0;
    virtual int Unexecute() = 0;
    // A new heap copy of the command; null for commands that are bound to one place (the
    // value-changed commands of the controls).
    virtual CqzMvcCommand* Clone() const { return nullptr; }

    int AddRef() { return ++m_refCount; }
    int Release()
    {
        const int left = --m_refCount;
        if (left <= 0)
            delete this;
        return left;
    }

protected:
    int m_refCount = 0;
    int m_undoable = 0;
};
