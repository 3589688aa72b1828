#include "qzSystem/ui/CqzAlphaKeypadDlg.h"

#include "qzSystem/ui/CqzSystemResources.h"

CqzAlphaKeypadDlg::CqzAlphaKeypadDlg(int dictionary, bool, CWnd* parent)
    : CDialog(qzres::IDD_ALPHA_KEYPAD, parent), m_dictionary(dictionary)
{
}

BOOL CqzAlphaKeypadDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!m_caption.IsEmpty())
        SetWindowText(m_caption);
    CWnd* text = GetDlgItem(qzres::IDC_TEXT);
    text->SetWindowText(m_data);
    text->SetFocus();
    return FALSE;
}

void CqzAlphaKeypadDlg::OnOK()
{
    GetDlgItem(qzres::IDC_TEXT)->GetWindowText(m_data);
    CDialog::OnOK();
}
