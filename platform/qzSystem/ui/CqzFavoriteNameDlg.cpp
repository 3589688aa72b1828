#include "qzSystem/ui/CqzFavoriteNameDlg.h"

#include "qzSystem/ui/CqzSystemResources.h"

CqzFavoriteNameDlg::CqzFavoriteNameDlg(CWnd* parent) : CDialog(qzres::IDD_FAVORITE_NAME, parent) {}

BOOL CqzFavoriteNameDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CWnd* text = GetDlgItem(qzres::IDC_TEXT);
    text->SetWindowText(m_name);
    text->SetFocus();
    return FALSE;
}

void CqzFavoriteNameDlg::OnOK()
{
    GetDlgItem(qzres::IDC_TEXT)->GetWindowText(m_name);
    CDialog::OnOK();
}
