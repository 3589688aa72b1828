#include "qzSystem/ui/CqzFavoriteMoreDlg.h"

#include "mfc/ui/CComboBox.h"
#include "qzSystem/ui/CqzSystemResources.h"

CqzFavoriteMoreDlg::CqzFavoriteMoreDlg(const std::vector<CString>& names, bool store, CWnd* parent)
    : CDialog(qzres::IDD_FAVORITE_MORE, parent), m_names(names), m_store(store)
{
}

BOOL CqzFavoriteMoreDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(m_store ? L"Store Favorite" : L"Recall Favorite");
    CWnd* list = GetDlgItem(qzres::IDC_LIST);
    for (std::size_t i = 0; i < m_names.size(); ++i)
    {
        CString entry;
        entry.Format(L"#%d - %s", static_cast<int>(i) + 1, m_names[i]);
        list->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.GetString()));
    }
    list->SendMessage(CB_SETCURSEL, m_names.empty() ? static_cast<WPARAM>(-1) : 0);
    list->SetFocus();
    return FALSE;
}

void CqzFavoriteMoreDlg::OnOK()
{
    m_index = static_cast<int>(GetDlgItem(qzres::IDC_LIST)->SendMessage(CB_GETCURSEL));
    CDialog::OnOK();
}
