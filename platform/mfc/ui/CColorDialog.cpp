#include "mfc/ui/CColorDialog.h"

#include "mfc/ui/AfxQt.h"
#include "mfc/ui/AfxWin.h"

#include <QColorDialog>

CColorDialog::CColorDialog(COLORREF initial, DWORD, CWnd* parent)
    : m_color(initial), m_parent(parent)
{
}

int CColorDialog::DoModal()
{
    if (!afxqt::EnsureApplication())
        return IDCANCEL;
    CWnd* owner = m_parent != nullptr ? m_parent : AfxGetMainWnd();
    QColorDialog dialog(afxqt::ToQColor(m_color), afxqt::Outer(owner));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return IDCANCEL;
    m_color = afxqt::ToColorRef(dialog.currentColor());
    return IDOK;
}
