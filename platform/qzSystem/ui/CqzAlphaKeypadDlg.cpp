#include "qzSystem/ui/CqzAlphaKeypadDlg.h"

#include "qzSystem/ui/CqzSystemResources.h"

CqzAlphaKeypadDlg::CqzAlphaKeypadDlg(int dictionary, bool, CWnd* parent)
    : CqzTextEntryDlg(qzres::IDD_ALPHA_KEYPAD, parent), m_dictionary(dictionary)
{
}

BOOL CqzAlphaKeypadDlg::OnInitDialog()
{
    const BOOL result = CqzTextEntryDlg::OnInitDialog();
    if (!m_caption.IsEmpty())
        SetWindowText(m_caption);
    return result;
}
