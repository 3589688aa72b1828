#include "qzSystem/ui/CqzTextEntryDlg.h"

#include "qzSystem/ui/CqzSystemResources.h"

BOOL CqzTextEntryDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CWnd* text = GetDlgItem(qzres::IDC_TEXT);
    text->SetWindowText(m_text);
    text->SetFocus();
    return FALSE;
}

void CqzTextEntryDlg::OnOK()
{
    GetDlgItem(qzres::IDC_TEXT)->GetWindowText(m_text);
    CDialog::OnOK();
}
