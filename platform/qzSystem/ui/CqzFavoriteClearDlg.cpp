#include "qzSystem/ui/CqzFavoriteClearDlg.h"

#include "qzSystem/ui/CqzSystemResources.h"

namespace
{
constexpr int RowUnits = 12; // dialog units per check box row
} // namespace

CqzFavoriteClearDlg::CqzFavoriteClearDlg(const std::vector<CString>& names, CWnd* parent)
    : CDialog(qzres::IDD_FAVORITE_CLEAR, parent), m_names(names)
{
}

CqzFavoriteClearDlg::~CqzFavoriteClearDlg() = default;

BOOL CqzFavoriteClearDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    const int rows = static_cast<int>(m_names.size());
    for (int i = 0; i < rows; ++i)
    {
        CRect rect(12, 20 + i * RowUnits, 193, 20 + i * RowUnits + 10);
        MapDialogRect(rect);
        CString text;
        text.Format(L"#%d - %s", i + 1, m_names[static_cast<std::size_t>(i)]);
        auto check = std::make_unique<CButton>();
        check->Create(text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, rect, this,
                      static_cast<UINT>(qzres::IDC_FIRST_CHECK + i));
        check->SetFont(GetFont(), FALSE);
        m_checks.push_back(std::move(check));
    }
    // The buttons and the dialog's bottom move down by the rows added.
    CRect shift(0, 0, 0, rows * RowUnits);
    MapDialogRect(shift);
    for (int id : {IDOK, IDCANCEL})
    {
        CWnd* button = GetDlgItem(id);
        CRect rect;
        button->GetWindowRect(rect);
        ScreenToClient(rect);
        rect.OffsetRect(0, shift.bottom);
        button->MoveWindow(rect);
    }
    CRect client;
    GetClientRect(client);
    SetClientSize(CSize(client.Width(), client.Height() + shift.bottom));
    return TRUE;
}

void CqzFavoriteClearDlg::OnOK()
{
    m_indices.clear();
    for (std::size_t i = 0; i < m_checks.size(); ++i)
        if (m_checks[i]->GetCheck() == BST_CHECKED)
            m_indices.push_back(static_cast<int>(i));
    CDialog::OnOK();
}
