#pragma once
// A one-line text field that executes its value-changed command (not owned) when the person
// has finished editing: Enter, or the focus leaving the field.

#include "mfc/ui/CEdit.h"

class CqzEditCmd;

class CqzEdit : public CEdit
{
public:
    void SetValueChangedCmd(CqzEditCmd* command) { m_command = command; }

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    CqzEditCmd* m_command = nullptr;
};
