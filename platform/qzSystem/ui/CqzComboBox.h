#pragma once
// A drop-down list that reports the person's choice through its value-changed command (the
// index of the chosen entry, the list as source). The command is not owned.

#include "mfc/ui/CComboBox.h"

class CqzComboBoxCmd;

class CqzComboBox : public CComboBox
{
public:
    void SetValueChangedCmd(CqzComboBoxCmd* command) { m_command = command; }

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    CqzComboBoxCmd* m_command = nullptr;
};
