#pragma once
// A user-interface command with a name (the menu text) and an icon name, which can be enabled
// and disabled and keeps its enable state in setups.

#include "mfc/CString.h"
#include "qzSystem/commands/CqzUICmdBase.h"

class CqzPersistenceSetup;

class CqzNamedUICmdBase : public CqzUICmdBase
{
public:
    CqzNamedUICmdBase(const CString& name, const CString& iconName)
        : m_name(name), m_iconName(iconName)
    {
    }

    int IsUndoable() const override { return m_undoable; }
    int SetUndoable(int undoable) override { return m_undoable = undoable; }
    // The command has nothing to take back.
    int Unexecute() override { return 0; }
    virtual const CString& GetName() const { return m_name; }
    virtual const CString& GetIconName() const { return m_iconName; }
    virtual bool GetEnabled() const { return m_enabled; }
    virtual void SetEnabled(bool enabled) { m_enabled = enabled; }
    // The enable state in a "UICmd" tag.
    virtual void Save(CqzPersistenceSetup& setup) const;
    virtual void Load(CqzPersistenceSetup& setup);

private:
    CString m_name;
    CString m_iconName;
    bool m_enabled = true;
};
