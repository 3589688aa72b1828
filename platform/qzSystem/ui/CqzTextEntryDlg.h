#pragma once
// Base of the host's one-line text dialogs: the text field (qzres::IDC_TEXT) starts with the
// text set before DoModal and has the focus; OK takes the field's text, Cancel leaves it.

#include "mfc/ui/CDialog.h"

class CqzTextEntryDlg : public CDialog
{
public:
    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    CqzTextEntryDlg(UINT templateID, CWnd* parent) : CDialog(templateID, parent) {}
    CString m_text;
};
