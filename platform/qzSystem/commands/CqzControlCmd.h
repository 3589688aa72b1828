#pragma once
// Base of the value-changed commands of the host controls: before executing the command the
// control writes the value the person chose (a menu command identifier, a list index or a
// COLORREF) and itself as the source. Executing the base does nothing and succeeds; the
// templates on the three kinds (CqzValueChangedCmd) call a member of the owner.

#include "qzSystem/commands/CqzCmdBase.h"

#include <cstdint>

class CWnd;

class CqzControlCmd : public CqzCmdBase
{
public:
    int IsUndoable() const override { return m_undoable; }
    int Execute() override { return 1; }
    int Unexecute() override { return 1; }

    std::int32_t GetValue() const { return m_value; }
    void SetValue(std::int32_t value) { m_value = value; }
    CWnd* GetSource() const { return m_source; }
    void SetSource(CWnd* source) { m_source = source; }
    // What a control does with the person's choice: writes value and source, then executes.
    int Raise(std::int32_t value, CWnd* source)
    {
        SetValue(value);
        SetSource(source);
        return Execute();
    }

private:
    std::int32_t m_value = 0;
    CWnd* m_source = nullptr;
};

// The command of a menu button (CqzMenuButton, CqzChevronMenuBtn): the chosen command id.
class CqzMenuButtonCmd : public CqzControlCmd
{
};

// The command of a drop-down list (CqzComboBox): the index of the chosen entry.
class CqzComboBoxCmd : public CqzControlCmd
{
};

// The command of a text field (CqzEdit): raised when editing is finished; no value.
class CqzEditCmd : public CqzControlCmd
{
};

// The command of a colour well (CqzColorWellButton): the chosen colour.
class CqzColorWellButtonCmd : public CqzControlCmd
{
};
