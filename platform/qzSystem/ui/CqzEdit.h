#pragma once
// A one-line text field that executes its value-changed command (not owned) when the person
// has finished editing: Enter, or the focus leaving the field.

#include "mfc/ui/CEdit.h"

class CqzEditCmd;

class CqzEdit : public CEdit
{
public:
    void SetValueChangedCmd(CqzEditCmd* command) { m_command = command; }
    // Finishes the editing now, as the focus leaving the field does (Enter on a default button
    // reaches the dialog before the field has let go).
    void Commit();

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    CqzEditCmd* m_command = nullptr;
};
